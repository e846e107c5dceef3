#pragma once
// The window operations every routine touches the window with. Called from a
// harvest thread they run on the window's thread while the caller waits.

#include <cstdint>
#include <functional>

#include "foundation/text.h"

namespace kestrova {

Text readControlText(const Text& control);
void writeControlText(const Text& control, const Text& text);
bool isControlDisabled(const Text& control);
void setControlDisabled(const Text& control, bool disabled);
void appendControlText(const Text& control, const Text& text);
int32_t messageBox(const Text& text, int32_t flags, const Text& title);
void startThread(std::function<void()> routine);

}  // namespace kestrova
