// The About box: the program's name and version beside its icon, in a group frame, with an OK
// button. Modal; Enter (OK) ends it with 1, Escape or the close button with 2.
//
// Made afresh by each About command on the user-interface thread and destroyed when closed.
// It opens centred on its owner, or on the desktop's work area when the owner is hidden or
// minimised, and never sticks out of the work area.
#pragma once

#include <QDialog>

namespace wintarvo {

class AboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit AboutBox(QWidget* owner);

    void reject() override;

    // Where a box of the given size opens for this owner (which may be null) and work area.
    static QPoint placeFor(QSize box, const QWidget* owner, const QRect& workArea);
};

}  // namespace wintarvo
