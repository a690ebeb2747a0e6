#include "widgets/PenSizeWindow.h"

#include "settings/ConfigStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

PenSizeWindow::PenSizeWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PenSizeWindow"));
    resize(403, 88);
    labelPenSize = new QLabel(this);
    labelPenSize->setObjectName(QStringLiteral("labelPenSize"));
    labelPenSize->setGeometry(20, 40, 54, 12);
    penSizeCombox = new QComboBox(this);
    penSizeCombox->setObjectName(QStringLiteral("penSizeCombox"));
    penSizeCombox->setGeometry(100, 30, 201, 22);
    okPushButton = new QPushButton(this);
    okPushButton->setObjectName(QStringLiteral("okPushButton"));
    okPushButton->setGeometry(310, 30, 75, 23);
    okPushButton->setText(QCoreApplication::translate("PenSizeWindow", "Ok"));
    setWindowTitle(QCoreApplication::translate("PenSizeWindow", "PenSizeWindow"));

    setWindowFlags(Qt::WindowCloseButtonHint);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowTitle(tr("Pen size"));

    const int stored = ConfigStore::instance()->getInt(QStringLiteral("Pensize"));
    const QIcon icon(QStringLiteral(":/main/resource/app.ico"));
    int current = 0;
    for (int i = 1; i <= 32; ++i) {
        penSizeCombox->addItem(icon, QStringLiteral("%1").arg(i));
        if (i == stored)
            current = i - 1;
    }
    penSizeCombox->setCurrentIndex(current);

    connect(okPushButton, &QPushButton::clicked, this, &PenSizeWindow::onBtnPensize);
    labelPenSize->setGeometry(20, 35, 54, 12);
    labelPenSize->setText(tr("Pen size:"));
}

void PenSizeWindow::onBtnPensize()
{
    chosenSize = penSizeCombox->currentText().toInt(nullptr, 10);
    ConfigStore::instance()->setInt(QStringLiteral("Pensize"), chosenSize);
    accept();
}
