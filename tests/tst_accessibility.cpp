// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader's actions reach in the lessons' windows: the emblem as a button
// named "提示" that opens the hint, the range panel only while it is in view, and no
// picture without a name. The texts a reader hears and the announcements are checked over
// AT-SPI (tests/atspi).
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>

#include "lessontest.h"

using namespace forms;

namespace {

// Every accessible node below the root, depth first.
void collect(QAccessibleInterface* node, std::vector<QAccessibleInterface*>& out) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child) continue;
        out.push_back(child);
        collect(child, out);
    }
}

std::vector<QAccessibleInterface*> nodesOf(Form& form) {
    std::vector<QAccessibleInterface*> nodes;
    collect(QAccessible::queryAccessibleInterface(&form.window()), nodes);
    return nodes;
}

QAccessibleInterface* find(Form& form, QAccessible::Role role, const QString& name) {
    for (QAccessibleInterface* node : nodesOf(form)) {
        if (node->role() == role && node->text(QAccessible::Name) == name) return node;
    }
    return nullptr;
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void emblemIsAButtonThatOpensTheHint() {
        replay::Session session("dorvane");
        QAccessibleInterface* emblem = find(session.form(), QAccessible::Button, "提示");
        QVERIFY(emblem && find(session.form(), QAccessible::Button, "图形演示"));
        auto* action = emblem->actionInterface();
        QVERIFY(action);
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(session.messages().size(), size_t(1));
        QCOMPARE(session.messages()[0].title, std::string("提示"));
    }
    // The range panel takes the focus only while the widened window shows it, and a box
    // with the focus gives it back to the canvas when the window narrows again.
    void quilletPanelTakesFocusOnlyInView() {
        replay::Session session("quillet");
        QWidget& window = session.form().window();
        const auto tabs = [&](int count) {
            QStringList seen;
            for (int i = 0; i < count; ++i) {
                lessontest::run(session, "key Tab");
                seen << QString::fromStdString(session.form().focusControl()->name());
            }
            return seen;
        };
        QCOMPARE(tabs(2), QStringList({"Picture1", "Picture1"}));
        window.resize(780, window.height());
        QApplication::processEvents();
        QCOMPARE(tabs(7), QStringList({"Text4", "Text5", "Text6", "Text7", "Command4", "Command3",
                                       "Picture1"}));
        lessontest::run(session, "key Tab\nkey 7");
        window.resize(417, window.height());
        QApplication::processEvents();
        QCOMPARE(session.form().focusControl()->name(), std::string("Picture1"));
        QCOMPARE(tabs(1), QStringList({"Picture1"}));
        QCOMPARE(lessontest::control<TextBox>(session, "Text4").text(), std::string("7"));
    }
    // The figure's lines are named for what they show; the dots beside a named label are
    // left out. quillet's canvas tells where its pointer is.
    void everyPictureIsNamed_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<QString>("canvas");
        const QString pointKeys = "。方向键移动 0.1，Shift 加方向键移动 1，空格键换点";
        QTest::newRow("dorvane") << "dorvane"
                                 << "选中点 A" + pointKeys;
        QTest::newRow("skelvin") << "skelvin"
                                 << "选中点 P₁" + pointKeys;
        QTest::newRow("quillet") << "quillet"
                                 << "指针 (4.5, 2.1)。方向键移动指针 0.5，Shift 加方向键移动 0.1";
    }
    void everyPictureIsNamed() {
        QFETCH(QString, lesson);
        replay::Session session(lesson.toStdString());
        lessontest::run(session, "wait 2000\nkey Right\nkey Shift+Up\nkey Space\nkey Space");
        for (QAccessibleInterface* node : nodesOf(session.form())) {
            if (node->role() == QAccessible::Graphic)
                QVERIFY2(!node->text(QAccessible::Name).isEmpty(), qPrintable(lesson));
        }
        QWidget* plane = &lessontest::canvas(session).widget();
        QTEST(QAccessible::queryAccessibleInterface(plane)->text(QAccessible::Description),
              "canvas");
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
