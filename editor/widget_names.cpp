#include "editor/widget_names.h"

#include <QLabel>

namespace p95 {

QLabel* makePicture(const QString& objectName, int side, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(objectName);
    picture->setFixedSize(side, side);
    picture->setAlignment(Qt::AlignCenter);
    picture->setScaledContents(true);
    return picture;
}

} // namespace p95
