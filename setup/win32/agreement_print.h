// The wizard's Print button: prints the agreement page's text on a printer
// the user picks.
#pragma once

namespace zor {

// `length` characters of `text`, 75 lines a page. True when a document was
// produced (or ended); false when the user cancelled or printing could not
// start.
bool PrintAgreementText(const wchar_t* text, int length);

}  // namespace zor
