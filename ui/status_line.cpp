#include "ui/status_line.h"

#include <QLabel>

#include "ui/command_ids.h"

namespace wintarvo {

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent), label_(new QLabel(this)) {
    setObjectName(controlName(ID_STATUS_BAR));
    setSizeGripEnabled(true);
    addWidget(label_, 1);
}

void StatusLine::setText(const QString& text) {
    label_->setText(text);
}

QString StatusLine::text() const {
    return label_->text();
}

}  // namespace wintarvo
