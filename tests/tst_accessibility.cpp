// What a screen reader finds in the lessons' windows: the readouts with their current
// text, the buttons, and the emblem as a button named "提示" that opens the hint.
#include <QAccessible>
#include <QAccessibleActionInterface>

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
    void distanceFormulaRowReadsItsCurrentText() {
        replay::Session session("dorvane");
        lessontest::run(session, "wait 20");
        QAccessibleInterface* length = find(session.form(), QAccessible::StaticText, "5");
        QVERIFY(length);
        QVERIFY(length->state().invisible);  // the row is still hidden
        lessontest::run(session, "down 9 5.5\nclick Command2");
        QVERIFY(!find(session.form(), QAccessible::StaticText, "5"));
        length = find(session.form(), QAccessible::StaticText, "9.17877987534291");
        QVERIFY(length);
        QVERIFY(!length->state().invisible);
        QVERIFY(find(session.form(), QAccessible::StaticText, "B(9,5.5)"));  // inside the canvas
        QVERIFY(length->rect().width() > 0);
    }
    void emblemIsAButtonThatOpensTheHint() {
        replay::Session session("dorvane");
        QAccessibleInterface* emblem = find(session.form(), QAccessible::Button, "提示");
        QVERIFY(emblem);
        auto* action = emblem->actionInterface();
        QVERIFY(action);
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(session.messages().size(), size_t(1));
        QCOMPARE(session.messages()[0].title, std::string("提示"));
    }
    void buttonsAreNamedByTheirCaptions() {
        replay::Session session("dorvane");
        QVERIFY(find(session.form(), QAccessible::Button, "图形演示"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
