// The frame's status bar: one line of text with a size grip. The frame creates it under the
// name of control 59393; the board view finds it there and is the only one that writes it.
//
// Owned by the frame's client area (Qt parent); user-interface thread only. The text lives in
// a permanent label, so nothing else that Qt shows in status bars (menu tips) can replace it.
#pragma once

#include <QStatusBar>
#include <QString>

class QLabel;

namespace wintarvo {

class StatusLine : public QStatusBar {
    Q_OBJECT

  public:
    explicit StatusLine(QWidget* parent);

    void setText(const QString& text);
    QString text() const;

  private:
    QLabel* label_;
};

}  // namespace wintarvo
