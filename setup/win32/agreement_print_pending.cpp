// Temporary: the agreement page's printing is not in this tree yet. This weak
// definition lets the wizard's Print button link until the real one arrives
// (it then takes precedence); delete this file at that point.
namespace zor {

__attribute__((weak)) bool PrintAgreementText(const wchar_t*, int) { return false; }

}  // namespace zor
