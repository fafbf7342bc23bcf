#pragma once
// The frame of the window's dialogs (the About box, the message boxes): a title and a close
// button, no minimize or maximize, and the dialog's one size whatever is asked of it.

class QWidget;

namespace hoopcast::app {

void give_dialog_frame(QWidget& dialog);

}  // namespace hoopcast::app
