#pragma once

namespace cl::ui {

// A widget application object for code that opens screens or print previews outside the
// program's own start (tests, tools); without a display it runs offscreen. A process that
// already has one keeps it.
void ensureWidgetApplication();

}  // namespace cl::ui
