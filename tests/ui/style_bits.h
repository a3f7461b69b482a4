// Which style bits of a control the template check compares, per window
// class, and how a difference reads in a report ("BS_PUSHBUTTON, want
// BS_DEFPUSHBUTTON; WS_TABSTOP missing").
#ifndef ZOR_TESTS_UI_STYLE_BITS_H
#define ZOR_TESTS_UI_STYLE_BITS_H

#include <cstdint>
#include <string>

namespace zor::ui_check {

uint32_t CheckedStyleMask(const std::wstring& cls);
uint32_t CheckedExStyleMask(const std::wstring& cls);

// Empty when the checked bits agree.
std::string DescribeStyleDifference(const std::wstring& cls, uint32_t want, uint32_t have);
std::string DescribeExStyleDifference(const std::wstring& cls, uint32_t want, uint32_t have);

}  // namespace zor::ui_check

#endif
