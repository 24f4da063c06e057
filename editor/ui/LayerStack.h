// Rules of the layer stack in the main window that need no window: the text
// of a layer's list item, the value of the layer list that survives a
// refill, and where the keyboard moves the selection through anode, layers
// and cathode.
#pragma once

#include <string>

// "%d %s": the 1-based position and the label (the material when the label
// is empty), followed by " (P)", " (I)" or " (N)" by the dopant type.
std::string LayerStack_itemText(int position, const std::string& label, const std::string& material,
                                const std::string& dopantType);

// The list value to keep over a refill: one digit "1".."9", else 1; then 1
// when it exceeds the layer count.
int LayerStack_keptSelection(const char* listValue, int layerCount);

// The selection inside the stack: a contact (1 anode, 2 cathode) or a layer.
struct StackSelection {
    int layer = -1;    // 1-based
    int contact = -1;  // -1 none, 1 anode, 2 cathode
};
// One keyboard step: direction +1 goes down (anode, layer 1 .. n, cathode),
// -1 goes up; any other direction selects layer index0 + 1. Returns false
// when the target lies outside the stack (nothing changes).
bool LayerStack_step(const StackSelection& current, int layerCount, int index0, int direction,
                     StackSelection& target);
