#include "app/SkinButton.h"
#include "browser/BrowserControl.h"
#include "browser/PreviewBeside.h"
#include "browser/frmView.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/EveryDialog.h"
#include "support/Keys.h"

#include <QAccessible>
#include <QWebEnginePage>
#include <QtTest>
#include <QtWidgets>

namespace {
// A part of another control: a combo box's editor (whose focus goes to the box), a view's viewport
// and scroll bars.
bool partOfAnother(const QWidget& widget) {
    if (widget.focusProxy() || qobject_cast<const QScrollBar*>(&widget))
        return true;
    const auto* view = qobject_cast<const QAbstractScrollArea*>(widget.parentWidget());
    return view && (view->viewport() == &widget || widget.objectName().startsWith("qt_scrollarea"));
}

// The controls of `window` on the screen that have no accessible name. Containers (panes, group
// boxes, status bars, splitters, tab pages, menu bars) and plain texts are no controls; an area
// drawn by the program (a pane without children) is.
QStringList unnamed(QWidget& window) {
    using Role = QAccessible::Role;
    static const QList<Role> containers{Role::Client,    Role::Pane,     Role::LayeredPane, Role::Splitter,
                                        Role::StatusBar, Role::Grouping, Role::Window,      Role::Dialog,
                                        Role::MenuBar,   Role::ToolBar,  Role::PropertyPage};
    QStringList found;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* widget : std::as_const(widgets)) {
        if (!widget->isVisible() || widget->window() != &window || partOfAnother(*widget))
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        const Role role = face ? face->role() : Role::NoRole;
        if (!face || role == Role::StaticText || role == Role::Separator ||
            (containers.contains(role) && face->childCount() > 0))
            continue;
        if (face->text(QAccessible::Name).trimmed().isEmpty())
            found << QString(widget->metaObject()->className()) + " " + widget->objectName();
    }
    return found;
}

QAccessibleInterface* faceOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

void press(QWidget* button) {
    faceOf(button)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// The name of the widget with the keyboard, or of the nearest of its parents that has one.
QString focusName() {
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (!widget->objectName().isEmpty())
            return widget->objectName();
    return QString();
}

// Each key in braces ("{Ctrl+F6}{Right}") to the widget that has the keyboard when it comes.
void pressKeys(const QString& keys) {
    for (const QString& key : keys.split('}', Qt::SkipEmptyParts))
        typeKeys(QApplication::focusWidget(), key + '}');
}

// A local page that loads at once and names itself in its title.
QUrl page(const AppFixture& app, const QString& name) {
    return QUrl::fromLocalFile(
        app.env.writeFile(name + ".htm", QString("<title>%1</title><p>%1</p>").arg(name).toUtf8()));
}
} // namespace

// What assistive technology sees of the program: names of controls, the picture buttons as
// buttons, and the strips of buttons from the keyboard.
class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    // Every control shown in the main window with a document, with its preview beside it, with a
    // browser window, and in each dialog, has a name.
    void everyControlNamed_data() {
        QTest::addColumn<QString>("item");
        QTest::newRow("document window") << "";
        QTest::newRow("document window, preview beside") << "mnuPreviewBeside";
        QTest::newRow("browser window") << "mnuNewBrowser";
        for (const DialogItem& dialog : kDialogItems)
            QTest::newRow(dialog.dialog) << dialog.item;
    }
    void everyControlNamed() {
        QFETCH(QString, item);
        AppFixture app;
        app.start();
        app.document(0)->txtRich->setText("<P>some words</P>");
        app.document(0)->txtRich->select(3, 4); // Format works on a selection
        QStringList missing;
        if (item.isEmpty()) {
            missing = unnamed(*app.main);
        } else if (item == "mnuPreviewBeside") {
            app.document(0)->action(CommandId::PreviewBeside)->trigger();
            QVERIFY(PreviewBesideOf(*app.document(0)));
            QTRY_VERIFY(PreviewBesideOf(*app.document(0))->isVisible());
            missing = unnamed(*app.main);
        } else if (item == "mnuNewBrowser") {
            QVERIFY(app.main->OpenBrowser(page(app, "one").toLocalFile()));
            missing = unnamed(*app.main);
        } else {
            QCOMPARE(WithDialog(app, item, [&](QDialog& dialog) { missing = unnamed(dialog); }),
                     QString(QTest::currentDataTag()));
        }
        QCOMPARE(missing.join(", "), QString());
    }

    // The areas the program draws, the colour shown and the preview tell what they show.
    void areasDescribed_data() {
        table({"item", "area", "name"},
              {"colour picker; mnuSelectColor; picPicture; Picture",
               "colour code; mnuSelectColor; txtColor; Hex:", "frames; mnuTFrames; picWindow; Frames",
               "image map; mnuTIsMap; picPicture; Picture",
               "preview; mnuPreviewBeside; PreviewBeside; Preview"});
    }
    void areasDescribed() {
        AppFixture app;
        app.start();
        QStringList texts; // read while the area is there: a modal dialog goes when closed
        const auto read = [&](QWidget* area) {
            if (QAccessibleInterface* face = area ? faceOf(area) : nullptr)
                texts << face->text(QAccessible::Name) << face->text(QAccessible::Description);
        };
        if (cell("item") == "mnuPreviewBeside") {
            app.document(0)->action(CommandId::PreviewBeside)->trigger();
            read(PreviewBesideOf(*app.document(0)));
        } else {
            WithDialog(app, cell("item"),
                       [&](QDialog& dialog) { read(dialog.findChild<QWidget*>(cell("area"))); });
        }
        QCOMPARE(texts.value(0), cell("name"));
        QVERIFY(!texts.value(1).isEmpty());
    }

    // Every picture button is a button named by its tooltip (less the key in brackets) that the
    // keyboard can reach; one without a face does nothing when pressed. The browser window's buttons
    // go to the address typed, back, forward, reload and stop when pressed.
    void pictureButtons() {
        AppFixture app;
        app.start();
        const QUrl one = page(app, "one"), two = page(app, "two");
        auto* view = static_cast<frmView*>(app.main->OpenBrowser(one.toLocalFile()));
        QList<SkinButton*> buttons = app.main->skinButtons() + view->findChildren<SkinButton*>();
        QCOMPARE(buttons.size(), 29 + 5);
        for (SkinButton* button : std::as_const(buttons)) {
            const QAccessibleInterface* face = faceOf(button);
            const QString name = face->text(QAccessible::Name), tooltip = button->toolTip();
            QVERIFY2(face->role() == QAccessible::Button && face->state().focusable && !name.isEmpty() &&
                         (name == tooltip || tooltip.startsWith(name + " (")) &&
                         face->text(QAccessible::Description).contains(tooltip),
                     qPrintable(tooltip));
        }
        SkinButton* faceless = app.main->findChild<SkinButton*>("picGradient");
        QSignalSpy clicks(faceless, &SkinButton::clicked);
        press(faceless);
        QCOMPARE(clicks.count(), 0);

        QWebEnginePage* shown = view->WebBrowser->page();
        QTRY_COMPARE_WITH_TIMEOUT(shown->title(), "one", 15000);
        view->cmbURL->setEditText(two.toLocalFile());
        for (const auto& [button, title] :
             {std::pair("picGoTo", "two"), {"picBack", "one"}, {"picForward", "two"}}) {
            press(view->findChild<SkinButton*>(button));
            QTRY_COMPARE_WITH_TIMEOUT(shown->title(), title, 15000);
        }
        QSignalSpy loads(view->WebBrowser, &BrowserControl::DocumentComplete);
        press(view->findChild<SkinButton*>("picReload"));
        QVERIFY(loads.wait(15000));
        press(view->findChild<SkinButton*>("picStop"));
        QCOMPARE(shown->title(), "two");
    }

    // Ctrl+F6 takes the keyboard to the toolbar, the toolbox, the browser window's strip and back
    // to the window in front; the arrow keys, Home and End move along a strip (round its ends,
    // past hidden buttons), Space and Enter press, Esc goes back.
    void stripKeys_data() {
        table(
            {"front", "keys", "focus", "text"},
            {"to the toolbar; document; {Ctrl+F6}; picNew; x",
             "to the toolbox; document; {Ctrl+F6}{Ctrl+F6}; picB; x",
             "round to the text; document; {Ctrl+F6}{Ctrl+F6}{Ctrl+F6}; txtRich; x",
             "along the toolbar; document; {Ctrl+F6}{Right}{Right}{Down}; picCut; x",
             "round its start; document; {Ctrl+F6}{Left}; picPreviewBeside; x",
             "End passes the hidden button; document; {Ctrl+F6}{Ctrl+F6}{End}; picCSS; x",
             "Home; document; {Ctrl+F6}{Ctrl+F6}{End}{Home}; picB; x",
             "Esc; document; {Ctrl+F6}{Ctrl+F6}{Right}{Escape}; txtRich; x",
             "Space presses; document; {Ctrl+F6}{Ctrl+F6}{Space}; txtRich; <B>x</B>",
             "Enter presses; document; {Ctrl+F6}{Ctrl+F6}{Right}{Return}; txtRich; <BR>",
             "other keys do nothing; document; {Ctrl+F6}{Ctrl+F6}{X}{Shift+X}{Delete}; picB; x",
             "no document: New and Open only; none; {Ctrl+F6}{Right}{Right}{Right}; picOpen; ",
             "browser strip; browser; {Ctrl+F6}{Ctrl+F6}{Ctrl+F6}{Right}; picForward; x",
             "browser strip, Esc to the page; browser; {Ctrl+F6}{Ctrl+F6}{Ctrl+F6}{Escape}; WebBrowser; x"});
    }
    void stripKeys() {
        AppFixture app;
        app.start();
        frmNotepad* document = app.document(0);
        document->txtRich->setText("x");
        document->txtRich->select(0, 1);
        if (cell("front") == "none") {
            app.main->documents().DocumentSlots[0].Modified = false;
            document->close();
            AppFixture::flush();
            QCOMPARE(app.main->documents().DocumentCount, 0);
            document = nullptr;
        } else if (cell("front") == "browser") {
            app.main->OpenBrowser(QString());
        }
        QVERIFY(shownActive(app.main.get()));
        if (document && cell("front") == "document")
            document->txtRich->setFocus();
        pressKeys(cell("keys"));
        QCOMPARE(focusName(), cell("focus"));
        if (document)
            QCOMPARE(document->txtRich->text(), cell("text"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
