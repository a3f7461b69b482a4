// Text from a package or a description, made safe to print on a terminal.
//
// Names, groups and product fields are data someone else wrote: a control
// character in one can clear a line, move the cursor or forge a message of
// ours, and a bidirectional override can make one name look like another.
#pragma once

#include <string>
#include <string_view>

namespace zor {

// `text` as UTF-8 with every C0 and C1 control character, DEL, lone
// surrogate and bidirectional control written as \uXXXX. Everything else,
// backslashes of paths included, passes through.
std::string Printable(std::wstring_view text);

}  // namespace zor
