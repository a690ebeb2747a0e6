#include "widgets/QColorRadio.h"

#include <QPushButton>
#include <QVBoxLayout>

QColorRadio::QColorRadio(QWidget* parent) : QRadioButton(parent)
{
    selected = new QPushButton(this);
    selected->setObjectName(QStringLiteral("selected_color_radio_btn"));
    selected->setFixedSize(21, 21);
    selected->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(0);
    layout->addWidget(selected);
    selected->hide();
}

void QColorRadio::setSelectedVisible(bool visible)
{
    selected->setVisible(visible);
}
