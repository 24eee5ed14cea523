#pragma once
// Keeps the window out of the taskbar while it keeps its ordinary title bar.

#include <memory>

class QWidget;

namespace quorran {

// Call before the window is first shown. On Windows the returned hidden owner
// must live as long as the window; elsewhere it is empty.
std::unique_ptr<QWidget> keepOutOfTaskbar(QWidget &window);

} // namespace quorran
