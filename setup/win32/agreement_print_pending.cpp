// Temporary: the agreement page's printing is not in this tree yet. This
// definition lets the wizard's Print button link until the real one arrives;
// delete this file then (the two definitions would clash at link time).
// A weak definition would be the natural choice, but the MinGW linker does
// not resolve weak definitions across objects.
namespace zor {

bool PrintAgreementText(const wchar_t* text, int length);

bool PrintAgreementText(const wchar_t*, int) { return false; }

}  // namespace zor
