#include "ekOutputFolder.h"

#include <filesystem>

namespace ekOutputFolder {

namespace {

bool isSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// Nothing but separators and "." components: the root, which a run would
// fill with its files beside the system's own.
bool isRoot(const std::wstring& folder)
{
    std::wstring collapsed;
    for (wchar_t c : folder) {
        const wchar_t d = isSeparator(c) ? L'/' : c;
        if (!(d == L'/' && !collapsed.empty() && collapsed.back() == L'/')) {
            collapsed += d;
        }
    }
    return std::filesystem::path(collapsed).lexically_normal() == std::filesystem::path("/");
}

}  // namespace

bool isValidName(const std::wstring& folder)
{
    return folder.size() >= LENGTH_MIN && folder.size() <= LENGTH_MAX && !isRoot(folder);
}

}  // namespace ekOutputFolder
