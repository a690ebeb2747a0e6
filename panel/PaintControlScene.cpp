// The strip's layout: its rows of buttons, their looks and tooltips.

#include "panel/PaintControlScene.h"

#include "canvas/BoardJournal.h"
#include "canvas/BoardKeys.h"
#include "canvas/GraphType.h"
#include "canvas/Screenview.h"
#include "canvas/ToolTable.h"
#include "panel/StripCatalogue.h"
#include "widgets/StyleSheet.h"
#include "widgets/QColorRadio.h"

#include <QButtonGroup>
#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace StripCatalogue;

namespace {

QHBoxLayout* centredRow()
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->setAlignment(Qt::AlignCenter);
    return row;
}

} // namespace

PaintControlScene::PaintControlScene(QWidget* mainWindow)
    : QWidget(mainWindow)
    , mainWindow(mainWindow)
{
    setMouseTracking(true);

    mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(2);

    const QString sheet = StyleSheet::load(QStringLiteral(":/qss/resource/qss/Scene.qss"));
    if (!sheet.isEmpty())
        setStyleSheet(sheet);

    buildTopRow();
    addImageLine(QStringLiteral(":/main/resource/open_line.png"));
    buildSizeRows();
    addImageLine(QStringLiteral(":/main/resource/split_line.png"));
    buildColorRows();
    addImageLine(QStringLiteral(":/main/resource/split_line.png"));
    buildToolRows();
    buildBottomRow();
    addImageLine(QStringLiteral(":/main/resource/split_line.png"));
    mainLayout->addStretch();

    sizeButtons[0]->setChecked(true);
    colorRadios[0]->setChecked(true);
    updateColorRings();
}

PaintControlScene::~PaintControlScene() = default;

void PaintControlScene::centreRing(QColorRadio* radio)
{
    // The 21 x 21 ring sits over the middle of the 28 x 28 swatch, and clicks
    // pass through it to the radio, so a chosen custom colour can be chosen
    // again (and its dialog reopened) by clicking the swatch.
    if (QLayout* rows = radio->layout())
        rows->setContentsMargins(3, 3, 4, 4);
    radio->ring()->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PaintControlScene::buildTopRow()
{
    menuButton = new QPushButton(this);
    menuButton->setObjectName(QStringLiteral("menu_btn"));
    menuButton->setFixedSize(12, 9);
    menuButton->setToolTip(tr("menu"));
    connect(menuButton, &QPushButton::clicked, this, &PaintControlScene::setShowAppMenu);

    openButton = new QPushButton(this);
    openButton->setObjectName(QStringLiteral("open_btn"));
    openButton->setFixedSize(40, 15);
    openButton->setToolTip(tr("open/close"));
    connect(openButton, &QPushButton::clicked, this, &PaintControlScene::setOpenBoard);

    QHBoxLayout* row = centredRow();
    row->setSpacing(4);
    row->addWidget(menuButton, 0, Qt::AlignVCenter);
    row->addWidget(openButton, 0, Qt::AlignVCenter);
    mainLayout->addLayout(row);
}

void PaintControlScene::addImageLine(const QString& picture)
{
    auto* line = new QLabel(this);
    line->setPixmap(QPixmap(picture));
    line->setAlignment(Qt::AlignCenter);
    mainLayout->addWidget(line);
}

void PaintControlScene::buildSizeRows()
{
    sizeGroup = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        const SizeEntry& entry = kSizes[i];
        auto* button = new QRadioButton(this);
        button->setObjectName(QLatin1String(entry.name));
        button->setFixedSize(entry.side, entry.side);
        button->setToolTip(tr(entry.tip));
        sizeGroup->addButton(button, i);
        connect(button, &QRadioButton::clicked, this, entry.slot);
        sizeButtons[i] = button;

        QHBoxLayout* row = centredRow();
        row->addWidget(button);
        mainLayout->addLayout(row);
    }

    customSizeButton = new QPushButton(this);
    customSizeButton->setObjectName(QStringLiteral("custom_size_btn"));
    customSizeButton->setFixedSize(28, 8);
    customSizeButton->setToolTip(tr("custom size"));
    sizeGroup->addButton(customSizeButton, 5);
    connect(customSizeButton, &QPushButton::clicked, this, &PaintControlScene::setPenSizeCustom);
    QHBoxLayout* row = centredRow();
    row->addWidget(customSizeButton);
    mainLayout->addLayout(row);
}

void PaintControlScene::buildColorRows()
{
    colorGroup = new QButtonGroup(this);
    QHBoxLayout* row = nullptr;
    for (int i = 0; i < 8; ++i) {
        const ColorEntry& entry = kColors[i];
        auto* radio = new QColorRadio(this);
        radio->setObjectName(QLatin1String(entry.name));
        radio->setFixedSize(28, 28);
        radio->setToolTip(BoardKeys::withKey(tr(entry.tip), colourKey(i)));
        colorGroup->addButton(radio, i);
        centreRing(radio);
        connect(radio, &QRadioButton::clicked, this, entry.slot);
        connect(radio, &QRadioButton::toggled, this, entry.ring);
        colorRadios[i] = radio;
        colorRadioList.push_back(radio);

        if (i % 2 == 0) {
            row = centredRow();
            mainLayout->addLayout(row);
        }
        row->addWidget(radio);
    }
}

void PaintControlScene::buildToolRows()
{
    toolGroup = new QButtonGroup(this);
    QHBoxLayout* row = nullptr;
    int column = 0;
    // The tools from the tool table (their item types are their ids), then the commands.
    const auto place = [&](QRadioButton* button) {
        if (column++ % 2 == 0) {
            row = centredRow();
            row->setSpacing(6);
            mainLayout->addLayout(row);
        }
        row->addWidget(button);
    };
    const auto makeButton = [&](const char* name, int id) {
        auto* button = new QRadioButton(this);
        button->setObjectName(QLatin1String(name));
        button->setFixedSize(22, 22);
        toolGroup->addButton(button, id);
        toolButtons[id] = button;
        place(button);
        return button;
    };
    for (const ToolRow& entry : ToolTable::rows()) {
        if (!entry.stripButton)
            continue;
        QRadioButton* button = makeButton(entry.stripButton, entry.type);
        const int type = entry.type;
        connect(button, &QRadioButton::clicked, this, [this, type] { chooseTool(type); });
    }
    for (const CommandEntry& entry : kCommands) {
        QRadioButton* button = makeButton(entry.name, entry.id);
        connect(button, &QRadioButton::clicked, this, entry.slot);
    }
    setToolTips();
}

void PaintControlScene::buildBottomRow()
{
    optionButton = new QPushButton(this);
    optionButton->setObjectName(QStringLiteral("option_btn"));
    optionButton->setFixedSize(22, 22);
    optionButton->setToolTip(tr("option"));
    connect(optionButton, &QPushButton::clicked, this, &PaintControlScene::setOption);

    helperButton = new QPushButton(this);
    helperButton->setObjectName(QStringLiteral("helper_btn"));
    helperButton->setFixedSize(22, 22);
    helperButton->setToolTip(tr("help"));
    connect(helperButton, &QPushButton::clicked, this, &PaintControlScene::setHelper);

    QHBoxLayout* row = centredRow();
    row->setSpacing(6);
    row->addWidget(optionButton);
    row->addWidget(helperButton);
    mainLayout->addLayout(row);
}

void PaintControlScene::retranslate()
{
    menuButton->setToolTip(tr("menu"));
    openButton->setToolTip(tr("open/close"));
    for (int i = 0; i < 5; ++i)
        sizeButtons[i]->setToolTip(tr(kSizes[i].tip));
    customSizeButton->setToolTip(tr("custom size"));
    for (int i = 0; i < 8; ++i)
        colorRadios[i]->setToolTip(BoardKeys::withKey(tr(kColors[i].tip), colourKey(i)));
    setToolTips();
    optionButton->setToolTip(tr("option"));
    helperButton->setToolTip(tr("help"));
    if (canvas)
        canvas->retranslate();
}

void PaintControlScene::setToolTips()
{
    for (const ToolRow& entry : ToolTable::rows()) {
        if (entry.stripButton)
            toolButtons[entry.type]->setToolTip(BoardKeys::withKey(tr(entry.stripTip), entry.key));
    }
    for (const CommandEntry& entry : kCommands)
        toolButtons[entry.id]->setToolTip(BoardKeys::withKey(tr(entry.tip), entry.key));
}

void PaintControlScene::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(52, 52, 52));
}

void PaintControlScene::resetChoices()
{
    sizeButtons[0]->setChecked(true);
    colorRadios[0]->setChecked(true);
    penColour = 0;
    toolButtons[Pen]->setChecked(true);
}












































void PaintControlScene::updateColorRings()
{
    for (QColorRadio* radio : colorRadioList)
        radio->setSelectedVisible(radio->isChecked());
}

void PaintControlScene::redRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::yellowRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::greenRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::blueRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::blackRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::whiteRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::purpleRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::customRadioBtnSlot(bool) { updateColorRings(); }
