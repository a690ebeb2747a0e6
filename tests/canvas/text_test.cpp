#include "screenview_harness.h"

#include "canvas/GraphType.h"
#include "canvas/QTextEditer.h"

#include <QFontMetrics>
#include <QObject>
#include <QtTest>

namespace {

// The box of the pixels matching `inked`, offset by `origin`.
template <typename Pred>
QRect inkBox(const QImage& image, Pred inked, QPoint origin = QPoint())
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (inked(image.pixelColor(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box.translated(origin);
}

bool darkInk(const QColor& c)
{
    // The editor's border, rgb(41, 57, 85), is not ink.
    return c.red() < 35 && c.green() < 35 && c.blue() < 35;
}

bool redInk(const QColor& c)
{
    return c.red() > 200 && c.green() < 40 && c.blue() < 60;
}

QList<GraphActioner*> textItems(const GraphManager& history)
{
    QList<GraphActioner*> items;
    for (GraphActioner* item : history.painted()) {
        if (item->type == Text) {
            items.append(item);
        }
    }
    return items;
}

// Counts the texts handed to the history, by the trace each hand-over leaves.
class HandOverCounter
{
public:
    HandOverCounter() { previous = qInstallMessageHandler(&HandOverCounter::handle); }
    ~HandOverCounter() { qInstallMessageHandler(previous); }
    static int count() { return handOvers; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (message.contains("text----> ")) {
            ++handOvers;
        }
        previous(type, context, message);
    }
    static inline QtMessageHandler previous = nullptr;
    static inline int handOvers = 0;
};

} // namespace

class TextTest : public QObject
{
    Q_OBJECT

private slots:
    void editorFitsItsTextAndKeepsItsBaseline();
    void enterPaintsRedTextWhereTheEditorShowedIt();
    void clickElsewhereMovesEditorAndTextGoesToNewestItem();
    void emptyTextChangesNothing();
    void choosingAnotherToolCommitsTheText();
    void clearingWhileTypingKeepsTheTextForUndo();
    void textOnANonTextItemIsDropped();
};

void TextTest::editorFitsItsTextAndKeepsItsBaseline()
{
    CanvasHarness canvas;
    canvas.view->selectText();
    canvas.click({100, 100});
    QTextEditer* editor = canvas.view->openEditor();
    QVERIFY(editor);
    QCOMPARE(editor->parentWidget(), canvas.view.get());
    QCOMPARE(editor->styleSheet(), QString("\t\tborder:1px solid rgb(41, 57, 85);\t\tborder-radius: 3px;"
                                           "background: rgb(240,236,236); \t\tselection-background-color: green;\t\t"));
    QVERIFY(editor->isVisible());
    QVERIFY(canvas.view->isTextEditing());

    QTest::keyClicks(editor, "Hello");
    const QFont font = QTextEditer::textFont();
    QCOMPARE(font.family(), QString("宋体"));
    QCOMPARE(font.pointSize(), 13);
    QCOMPARE(font.weight(), int(QFont::Bold));
    QCOMPARE(editor->font().family(), font.family());
    QCOMPARE(editor->font().pointSize(), 13);
    QCOMPARE(editor->font().weight(), int(QFont::Bold));
    const QFontMetrics metrics(font);
    QCOMPARE(editor->width(), metrics.horizontalAdvance("Hello") + 6);
    QCOMPARE(editor->height(), metrics.height() + 2);
    QTest::keyClicks(editor, " world, longer");
    QCOMPARE(editor->width(), metrics.horizontalAdvance("Hello world, longer") + 6);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QCOMPARE(editor->width(), 6);
    // However it grows, the text's baseline stays on the press point.
    QCOMPARE(editor->pos() + editor->baselineOrigin(), QPoint(100, 100));
}

void TextTest::enterPaintsRedTextWhereTheEditorShowedIt()
{
    CanvasHarness canvas;
    canvas.view->setPenColor(0, 0, 255, 255); // text is red whatever the pen
    canvas.view->selectText();
    canvas.click({120, 200});
    QTextEditer* editor = canvas.view->openEditor();
    QTest::keyClicks(editor, "HEH");
    QCOMPARE(editor->pos() + editor->baselineOrigin(), QPoint(120, 200));
    // Read-only for the look only, so the text cursor is not taken for ink.
    editor->setReadOnly(true);
    const QRect typed = inkBox(editor->grab().toImage(), darkInk, editor->pos());
    editor->setReadOnly(false);
    QVERIFY(!typed.isEmpty());

    {
        HandOverCounter counter;
        const int before = HandOverCounter::count();
        QTest::keyClick(editor, Qt::Key_Return);
        // The entry ends once, though closing the editor ends it again.
        QCOMPARE(HandOverCounter::count() - before, 1);
    }
    QVERIFY(!editor->isVisible());
    QVERIFY(!canvas.view->isTextEditing());
    QVERIFY(!canvas.view->openEditor());
    QCOMPARE(canvas.view->editors().size(), 1);
    GraphActioner* item = canvas.history().current();
    QCOMPARE(item->type, int(Text));
    QCOMPARE(item->property("text"), QString("HEH"));
    QCOMPARE(item->points.front(), QPoint(120, 200));

    const QRect painted = inkBox(canvas.image(), redInk);
    QVERIFY(!painted.isEmpty());
    QVERIFY2(qAbs(painted.left() - typed.left()) <= 1 && qAbs(painted.bottom() - typed.bottom()) <= 1 &&
                 qAbs(painted.top() - typed.top()) <= 1,
             qPrintable(QString("typed at %1,%2-%3,%4, painted at %5,%6-%7,%8")
                            .arg(typed.left()).arg(typed.top()).arg(typed.right()).arg(typed.bottom())
                            .arg(painted.left()).arg(painted.top()).arg(painted.right()).arg(painted.bottom())));
    bool pureRed = false;
    for (int x = painted.left(); x <= painted.right(); ++x) {
        pureRed = pureRed || sameColor(canvas.pixel(x, painted.center().y()), QColor(255, 0, 0));
    }
    QVERIFY(pureRed);
}

void TextTest::clickElsewhereMovesEditorAndTextGoesToNewestItem()
{
    CanvasHarness canvas;
    canvas.view->selectText();
    canvas.click({60, 80});
    QTextEditer* editor = canvas.view->openEditor();
    QTest::keyClicks(editor, "Hi");
    canvas.click({300, 250});

    QCOMPARE(canvas.view->openEditor(), editor);
    QCOMPARE(canvas.view->editors().size(), 1);
    QCOMPARE(editor->pos() + editor->baselineOrigin(), QPoint(300, 250));
    QCOMPARE(editor->text(), QString("Hi"));
    // The click moved the entry: still one text item, now at the new place.
    const QList<GraphActioner*> items = textItems(canvas.history());
    QCOMPARE(items.size(), 1);
    QCOMPARE(items[0]->points, std::vector<QPoint>{QPoint(300, 250)});

    QTest::keyClicks(editor, "Ho");
    QTest::keyClick(editor, Qt::Key_Enter);
    QCOMPARE(items[0]->property("text"), QString("HiHo"));
    const QRect painted = inkBox(canvas.image(), redInk);
    QVERIFY(QRect(295, 225, 100, 35).contains(painted));

    // The next click opens a fresh editor; the old one stays, hidden.
    canvas.click({100, 400});
    QCOMPARE(canvas.view->editors().size(), 2);
    QVERIFY(canvas.view->openEditor() != editor);
    QVERIFY(!editor->isVisible());
}

void TextTest::emptyTextChangesNothing()
{
    CanvasHarness canvas;
    canvas.view->selectText();
    canvas.click({100, 100});
    const QImage before = canvas.image().copy();
    QTextEditer* editor = canvas.view->openEditor();
    QTest::keyClicks(editor, "ab");
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);

    QVERIFY(!editor->isVisible());
    QVERIFY(!canvas.view->isTextEditing());
    QVERIFY(textItems(canvas.history()).isEmpty());
    QCOMPARE(canvas.history().painted().size(), size_t(1));
    QVERIFY(canvas.image() == before);
}

void TextTest::choosingAnotherToolCommitsTheText()
{
    CanvasHarness canvas;
    canvas.view->selectText();
    canvas.click({100, 100});
    QTextEditer* editor = canvas.view->openEditor();
    QVERIFY(QTest::qWaitForWindowActive(canvas.view.get()));
    QVERIFY(editor->hasFocus());
    QTest::keyClicks(editor, "note");

    canvas.view->selectPen(); // the editor loses focus as it hides
    QVERIFY(!editor->isVisible());
    QVERIFY(!canvas.view->openEditor());
    QVERIFY(!canvas.view->isTextEditing());
    QCOMPARE(canvas.history().current()->property("text"), QString("note"));
    QVERIFY(!inkBox(canvas.image(), redInk).isEmpty());

    // The pen draws again at once, with no editor in the way.
    canvas.drag({100, 300}, {200, 300});
    QCOMPARE(canvas.history().current()->type, int(Pen));
}

void TextTest::clearingWhileTypingKeepsTheTextForUndo()
{
    CanvasHarness canvas;
    canvas.view->selectText();
    canvas.click({100, 100});
    QTest::keyClicks(canvas.view->openEditor(), "note");

    // The text is one more item under the clear: one undo brings it back.
    canvas.view->clearBoard();
    QVERIFY(!canvas.view->openEditor());
    QVERIFY(inkBox(canvas.image(), redInk).isEmpty());
    const QList<GraphActioner*> items = textItems(canvas.history());
    QCOMPARE(items.size(), 1);
    QCOMPARE(items[0]->property("text"), QString("note"));
    canvas.view->undo();
    QVERIFY(!inkBox(canvas.image(), redInk).isEmpty());
}

void TextTest::textOnANonTextItemIsDropped()
{
    CanvasHarness canvas;
    canvas.view->selectText();
    canvas.click({100, 100});
    QTextEditer* editor = canvas.view->openEditor();
    QTest::keyClicks(editor, "lost");
    // An item of another kind begun meanwhile (here: the board cleared)
    // leaves the text nowhere to go.
    canvas.view->clearBoard();
    canvas.view->commitText(editor->text());
    QVERIFY(!canvas.view->isTextEditing());
    QVERIFY(!editor->isVisible());
    QVERIFY(inkBox(canvas.image(), redInk).isEmpty());
}

QTEST_MAIN(TextTest)
#include "text_test.moc"
