#include "EditorCommand.h"

namespace {

bool isSet(const char* value) { return value != nullptr && value[0] != '\0'; }

}  // namespace

std::vector<std::string> EditorCommand_arguments(const char* visual, const char* editor,
                                                 const std::string& file)
{
    const char* chosen = isSet(visual) ? visual : isSet(editor) ? editor : nullptr;
    if (chosen != nullptr) {
        std::vector<std::string> args = {
            "/bin/sh", "-c", std::string(chosen) + (file.empty() ? "" : " \"$1\""), "kovraedit"};
        if (!file.empty()) {
            args.push_back(file);
        }
        return args;
    }
    if (file.empty()) {
        return {};
    }
    return {"xdg-open", file};
}
