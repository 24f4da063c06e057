#include "LayerStack.h"

#include "kovText.h"

std::string LayerStack_itemText(int position, const std::string& label, const std::string& material,
                                const std::string& dopantType)
{
    std::string text = std::to_string(position) + " " + (label.empty() ? material : label);
    if (text.size() > 443) {
        text.resize(443);
    }
    if (kov_equalsNoCase(dopantType, "A") || kov_equalsNoCase(dopantType, "P") ||
        kov_equalsNoCase(dopantType, "Acceptor")) {
        text += " (P)";
    } else if (kov_equalsNoCase(dopantType, "I") || kov_equalsNoCase(dopantType, "Intrinsic")) {
        text += " (I)";
    } else if (kov_equalsNoCase(dopantType, "D") || kov_equalsNoCase(dopantType, "N") ||
               kov_equalsNoCase(dopantType, "Donor")) {
        text += " (N)";
    }
    return text;
}

int LayerStack_keptSelection(const char* listValue, int layerCount)
{
    int kept = 1;
    if (listValue != nullptr && listValue[0] >= '1' && listValue[0] <= '9' &&
        listValue[1] == '\0') {
        kept = listValue[0] - '0';
    }
    return kept > layerCount ? 1 : kept;
}

bool LayerStack_step(const StackSelection& current, int layerCount, int index0, int direction,
                     StackSelection& target)
{
    const int n = layerCount;
    const int L = current.layer;
    const int C = current.contact;
    int index = index0;
    if (direction == 1) {
        if (C == 1) {
            index = 0;
        } else if (C == 2) {
            target = {L, 2};
            return true;
        } else if (L < n) {
            index = L;
        } else {
            target = {L, 2};
            return true;
        }
    } else if (direction == -1) {
        if (C == 1) {
            target = {L, 1};
            return true;
        } else if (C == 2) {
            index = n - 1;
        } else if (L >= 2) {
            index = L - 2;
        } else {
            target = {L, 1};
            return true;
        }
    }
    if (index < 0 || index >= n) {
        return false;
    }
    target = {index + 1, -1};
    return true;
}
