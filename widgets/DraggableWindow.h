#pragma once

#include "widgets/FramelessDraggableWindow.h"
#include "widgets/ShadowWidget.h"

#include <QVBoxLayout>
#include <QWidget>

// A frameless tool window with a drop shadow: the shadow frames rootWidget,
// which holds an optional titleBar (pressing it drags the window) above
// clientWidget, where subclasses put their content through clientLayout.
template <typename Base>
class DraggableWindow : public FramelessDraggableWindow<Base> {
public:
    explicit DraggableWindow(int shadowWidth, QWidget* parent = nullptr, bool hasTitleBar = true)
        : FramelessDraggableWindow<Base>(true, parent, true), hasTitleBar(hasTitleBar), shadowWidth(shadowWidth)
    {
        this->setWindowFlags(this->windowFlags() | Qt::Tool);

        auto* outer = new QVBoxLayout(this);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->setSpacing(10);
        shadowWidget = new ShadowWidget(shadowWidth, this);
        shadowWidget->setContentsMargins(shadowWidth, shadowWidth, shadowWidth, shadowWidth);
        outer->addWidget(shadowWidget);

        auto* shadowLayout = new QVBoxLayout(shadowWidget);
        shadowLayout->setContentsMargins(0, 0, 0, 0);
        shadowLayout->setSpacing(0);
        rootWidget = new QWidget(shadowWidget);
        rootWidget->setObjectName(QStringLiteral("rootWidget"));
        rootWidget->setAttribute(Qt::WA_StyledBackground);
        shadowLayout->addWidget(rootWidget);

        auto* rootLayout = new QVBoxLayout(rootWidget);
        rootLayout->setContentsMargins(0, 0, 0, 0);
        rootLayout->setSpacing(0);
        if (hasTitleBar) {
            titleBar = new QWidget(rootWidget);
            titleBar->setObjectName(QStringLiteral("titleBar"));
            titleBar->setAttribute(Qt::WA_StyledBackground);
            rootLayout->addWidget(titleBar);
            this->setDragWidgets({titleBar});
        }
        clientWidget = new QWidget(rootWidget);
        clientWidget->setObjectName(QStringLiteral("clientWidget"));
        clientWidget->setAttribute(Qt::WA_StyledBackground);
        rootLayout->addWidget(clientWidget);
        clientLayout = new QVBoxLayout(clientWidget);
        clientLayout->setContentsMargins(0, 0, 0, 0);
    }

protected:
    const bool hasTitleBar;
    const int shadowWidth;
    ShadowWidget* shadowWidget = nullptr;
    QWidget* rootWidget = nullptr;
    QWidget* titleBar = nullptr;
    QWidget* clientWidget = nullptr;
    QVBoxLayout* clientLayout = nullptr;
};
