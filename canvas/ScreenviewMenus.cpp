// The canvas's two context menus and what each entry does.
#include "canvas/GraphManager.h"
#include "canvas/Screenview.h"
#include "canvas/ToolTable.h"
#include "widgets/StyleSheet.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <vector>

namespace {

// The look of the main menu and its submenus; with no style sheet they stay
// plain Qt menus that still work.
void stylePopMenu(QMenu* menu, const char* menuClass, const QString& styleSheet)
{
    menu->setProperty("class", QString::fromLatin1(menuClass));
    menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint);
    menu->setAttribute(Qt::WA_TranslucentBackground, true);
    if (!styleSheet.isEmpty())
        menu->setStyleSheet(styleSheet);
}

QAction* addEntry(QMenu* menu, const QString& text, const char* icon = nullptr,
                  BoardCommand key = BoardCommand::None)
{
    QAction* action = icon ? menu->addAction(QIcon(QString::fromLatin1(icon)), text) : menu->addAction(text);
    if (key != BoardCommand::None) {
        // Shown in the menu's shortcut column; the board itself takes the
        // key when no menu is open.
        action->setShortcut(BoardKeys::keyOf(key));
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    return action;
}

} // namespace

void Screenview::retranslate()
{
    // The menus' texts are set as they are built: build them again (menus
    // not built yet will be, in the language then current). The submenus
    // are the canvas's own children, like the two menus.
    if (!mainMenu)
        return;
    actionHandlers.clear();
    for (QMenu* menu : findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        delete menu;
    mainMenu = nullptr;
    selectionMenu = nullptr;
    buildMenus();
}

QMenu* Screenview::mainContextMenu()
{
    if (!mainMenu)
        buildMenus();
    return mainMenu;
}

QMenu* Screenview::selectionContextMenu()
{
    if (!selectionMenu)
        buildMenus();
    return selectionMenu;
}

void Screenview::buildMenus()
{
    const QString styleSheet = StyleSheet::load(QStringLiteral(":/qss/resource/qss/popMenu.qss"));

    mainMenu = new QMenu(this);
    mainMenu->setMinimumWidth(280);
    stylePopMenu(mainMenu, "mainPopMenu", styleSheet);

    QAction* exitAction = addEntry(mainMenu, tr("    Exit(&7)"), ":/main/resource/exit1.png");
    exitAction->setShortcut(QKeySequence(Qt::ALT + Qt::Key_S));
    mainMenu->addSeparator();

    auto* sizeMenu = new QMenu(tr("   Pen size"), this);
    stylePopMenu(sizeMenu, "subPopMenu", styleSheet);
    QAction* size1 = addEntry(sizeMenu, tr("Pen size 1"));
    QAction* size2 = addEntry(sizeMenu, tr("Pen size 2"));
    QAction* size3 = addEntry(sizeMenu, tr("Pen size 3"));
    QAction* size4 = addEntry(sizeMenu, tr("Pen size 4"));
    mainMenu->addMenu(sizeMenu);

    auto* colorMenu = new QMenu(tr("   Pen color"), this);
    stylePopMenu(colorMenu, "subPopMenu", styleSheet);
    QAction* clearRed = addEntry(colorMenu, tr("Transparent red"));
    QAction* clearYellow = addEntry(colorMenu, tr("Transparent yellow"));
    QAction* clearGreen = addEntry(colorMenu, tr("Transparent green"));
    QAction* clearBlue = addEntry(colorMenu, tr("Transparent blue"));
    colorMenu->addSeparator();
    QAction* red = addEntry(colorMenu, tr("Red"), nullptr, BoardCommand::Colour1);
    QAction* yellow = addEntry(colorMenu, tr("Yellow"), nullptr, BoardCommand::Colour2);
    QAction* green = addEntry(colorMenu, tr("Green"), nullptr, BoardCommand::Colour3);
    QAction* blue = addEntry(colorMenu, tr("Blue"), nullptr, BoardCommand::Colour4);
    QAction* black = addEntry(colorMenu, tr("Black"), nullptr, BoardCommand::Colour5);
    QAction* white = addEntry(colorMenu, tr("White"), nullptr, BoardCommand::Colour6);
    mainMenu->addMenu(colorMenu);
    mainMenu->addSeparator();

    // The tools, in the menu's order, from the tool table.
    std::vector<const ToolRow*> tools;
    for (const ToolRow& row : ToolTable::rows()) {
        if (row.menuPosition > 0) {
            tools.push_back(&row);
        }
    }
    std::sort(tools.begin(), tools.end(),
              [](const ToolRow* a, const ToolRow* b) { return a->menuPosition < b->menuPosition; });
    for (const ToolRow* row : tools) {
        QAction* entry = addEntry(mainMenu, tr(row->menuText), row->menuIcon, row->key);
        const int type = row->type;
        actionHandlers[entry] = [this, type] { chooseTool(type); };
    }
    mainMenu->addSeparator();
    QAction* zoomInAction = addEntry(mainMenu, tr("   Zoom in"), ":/main/resource/zoomin1.png", BoardCommand::ZoomIn);
    QAction* zoomOutAction = addEntry(mainMenu, tr("   Zoom out"), ":/main/resource/zoomout1.png", BoardCommand::ZoomOut);
    QAction* originalScale = addEntry(mainMenu, tr("   Original scale"), ":/main/resource/selectedArce1.png", BoardCommand::ZoomOriginal);
    mainMenu->addSeparator();
    QAction* undoAction = addEntry(mainMenu, tr("   Undo"), ":/main/resource/undo1.png", BoardCommand::Undo);
    QAction* redoAction = addEntry(mainMenu, tr("   Redo"), ":/main/resource/redo1.png", BoardCommand::Redo);
    QAction* printAction = addEntry(mainMenu, tr("   Print"), ":/main/resource/print1.png", BoardCommand::Print);
    QAction* copyBoard = addEntry(mainMenu, tr("   Copy to Clipboard"), ":/main/resource/copyboard1.png", BoardCommand::Copy);
    connect(mainMenu, SIGNAL(triggered(QAction*)), this, SLOT(onMenuTrigged(QAction*)));

    selectionMenu = new QMenu(this);
    QAction* copySelected = addEntry(selectionMenu, tr("   Copy"), ":/main/resource/copy1.png", BoardCommand::Copy);
    QAction* saveSelected = addEntry(selectionMenu, tr("   Save image"), ":/main/resource/save1.png");
    connect(selectionMenu, SIGNAL(triggered(QAction*)), this, SLOT(onMenuTrigged(QAction*)));

    actionHandlers[exitAction] = [this] { requestExit(); };
    actionHandlers[size1] = [this] { setPenWidth(1); };
    actionHandlers[size2] = [this] { setPenWidth(2); };
    actionHandlers[size3] = [this] { setPenWidth(3); };
    actionHandlers[size4] = [this] { setPenWidth(4); };
    actionHandlers[clearRed] = [this] { setPenColor(255, 0, 0, 145); };
    actionHandlers[clearYellow] = [this] { setPenColor(255, 255, 0, 145); };
    actionHandlers[clearGreen] = [this] { setPenColor(0, 255, 0, 145); };
    actionHandlers[clearBlue] = [this] { setPenColor(0, 0, 255, 145); };
    actionHandlers[red] = [this] { setPenColor(255, 0, 0, 255); };
    actionHandlers[yellow] = [this] { setPenColor(255, 255, 0, 255); };
    actionHandlers[green] = [this] { setPenColor(0, 255, 0, 255); };
    actionHandlers[blue] = [this] { setPenColor(0, 0, 255, 255); };
    actionHandlers[black] = [this] { setPenColor(0, 0, 0, 255); };
    actionHandlers[white] = [this] { setPenColor(255, 255, 255, 255); };
    actionHandlers[zoomInAction] = [this] { zoomIn(); };
    actionHandlers[zoomOutAction] = [this] { zoomOut(); };
    actionHandlers[originalScale] = [this] { restoreZoom(); };
    actionHandlers[undoAction] = [this] { undo(); };
    actionHandlers[redoAction] = [this] { redo(); };
    actionHandlers[printAction] = [this] { print(); };
    // Offered as "Copy to Clipboard", so it copies: the whole board.
    actionHandlers[copyBoard] = [this] { copyAll(); };
    actionHandlers[copySelected] = [this] { graphManager->copySelection(); };
    actionHandlers[saveSelected] = [this] { graphManager->saveSelection(); };
}
