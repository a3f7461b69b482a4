// What Lumaglimpse shows: its version, its settings and the state of its
// components, as lines of text for the window and for --print.
#pragma once

#include <string>

namespace luma {

// Lines separated by "\r\n". COM must be initialised on the calling thread.
std::wstring BuildProductReport();

}  // namespace luma
