// The main window driven as a person drives it: keys and clicks on the real widgets.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "message_box_watcher.h"
#include "offscreen_messages.h"
#include "platform/scriptcontrol/script_control.h"
#include "script/calculation.h"
#include "ui/main_window.h"

using namespace quorvel;
namespace id = ui::id;

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowIsBuiltFromItsTable();
    void controlTable_data();
    void controlTable();
    void createdRunsOnceBeforeTheWindowIsShown();
    void compute_data();
    void compute();
    void emptyInputIsRefusedWithAMessage();
    void secondComputationOverwritesTheFirst();
    void countLabel_data();
    void countLabel();
    void pasteCountsThePastedLines();
    void clearEmptiesEverything();
    void focusOrder();
    void tabInTheInputBoxMovesOn();
    void enterOnlyInTheInputBox();
    void escapeClosesFromTheInputBox();
    void keypadStartsOsk();
    void keypadStaysSilentWhenNothingStarts();

private:
    QWidget* Control(window::ControlId control) const { return main_->window()->Control(control); }
    QPlainTextEdit* Input() const { return qobject_cast<QPlainTextEdit*>(Control(id::k编辑框1)); }
    QString Text(window::ControlId control) const;
    QStringList ReadOuts() const;
    void Type(const QString& lines);  // "\n" presses Enter
    void Click(window::ControlId button) { QTest::mouseClick(Control(button), Qt::LeftButton); }

    testing::OffscreenSizeHintMessageFilter messageFilter_;
    std::unique_ptr<script::ScriptHost> host_;
    std::unique_ptr<ui::MainWindow> main_;
    int createdCount_ = 0;
    bool visibleWhenCreated_ = true;
};

QString TestMainWindow::Text(window::ControlId control) const {
    QWidget* widget = Control(control);
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return edit->toPlainText();
    return "<unknown control>";
}

QStringList TestMainWindow::ReadOuts() const {
    return {Text(id::k编辑框_计算总数), Text(id::k编辑框_平均数), Text(id::k编辑框_标准差),
            Text(id::k编辑框_变异系数)};
}

void TestMainWindow::Type(const QString& lines) {
    Input()->setFocus();
    const QStringList parts = lines.split('\n');
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) QTest::keyClick(Input(), Qt::Key_Return);
        for (const QChar c : parts[i]) {
            // keyClicks knows Latin-1 only; a key beyond it (the euro sign) carries its text.
            if (c.unicode() < 0x100) {
                QTest::keyClicks(Input(), QString(c));
            } else {
                QTest::sendKeyEvent(QTest::Click, Input(), Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            }
        }
    }
}

void TestMainWindow::initTestCase() {
    host_ = std::make_unique<script::ScriptHost>(scriptcontrol::StandardRegistry());
    QVERIFY(host_->ExecuteStatement(script::CalcScript()));
}

void TestMainWindow::init() {
    createdCount_ = 0;
    main_ = ui::MainWindow::Show(*host_, [this] {
        ++createdCount_;
        const QWidgetList windows = QApplication::topLevelWidgets();
        visibleWhenCreated_ = std::any_of(windows.begin(), windows.end(), [](QWidget* w) {
            return w->windowTitle() == "Quorvel" && w->isVisible();
        });
    });
    QVERIFY(main_ && main_->window());
    QVERIFY(QTest::qWaitForWindowActive(main_->window()->Widget()));
}

void TestMainWindow::cleanup() { main_.reset(); }

void TestMainWindow::windowIsBuiltFromItsTable() {
    QWidget* window = main_->window()->Widget();
    QCOMPARE(window->windowTitle(), QString("Quorvel"));
    QCOMPARE(window->frameGeometry().size(), QSize(284, 258));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window->frameGeometry().topLeft(),
             QPoint((screen.width() - 284) / 2, (screen.height() - 258) / 2));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(QApplication::focusWidget(), Control(id::k按钮_计算));
}

void TestMainWindow::controlTable_data() {
    QTest::addColumn<uint>("control");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("accessibleName");

    const auto row = [](const char* name, uint control, const char* cls, QRect geometry,
                        QString text, QString accessible = {}) {
        QTest::newRow(name) << control << cls << geometry << text << accessible;
    };
    row("标签5", id::k标签5, "QLabel", {8, 184, 80, 40}, "当前待计算数有：0 个");
    row("按钮_打开小键盘", id::k按钮_打开小键盘, "QPushButton", {90, 184, 181, 40}, "打开小键盘");
    row("按钮_清空", id::k按钮_清空, "QPushButton", {90, 136, 88, 40}, "清 空");
    row("标签3", id::k标签3, "QLabel", {94, 73, 74, 24}, "标准差(sd)");
    row("标签4", id::k标签4, "QLabel", {94, 105, 74, 24}, "变异系数(CV)");
    row("标签2", id::k标签2, "QLabel", {94, 41, 74, 24}, "平均数");
    row("标签1", id::k标签1, "QLabel", {94, 9, 74, 24}, "计算总数");
    row("编辑框_标准差", id::k编辑框_标准差, "QLineEdit", {176, 72, 93, 24}, "", "标准差(sd)");
    row("编辑框_变异系数", id::k编辑框_变异系数, "QLineEdit", {176, 104, 93, 24}, "", "变异系数(CV)");
    row("编辑框_平均数", id::k编辑框_平均数, "QLineEdit", {176, 41, 93, 24}, "", "平均数");
    row("编辑框_计算总数", id::k编辑框_计算总数, "QLineEdit", {176, 10, 93, 24}, "", "计算总数");
    row("编辑框1", id::k编辑框1, "QPlainTextEdit", {3, 6, 84, 170}, "", "待计算数据");
    row("按钮_计算", id::k按钮_计算, "QPushButton", {183, 136, 88, 40}, "计 算");
}

void TestMainWindow::controlTable() {
    QFETCH(uint, control);
    QFETCH(QString, className);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, accessibleName);

    QWidget* widget = Control(control);
    QVERIFY(widget);
    QVERIFY(widget->inherits(className.toLatin1()));
    QCOMPARE(widget->objectName(), QString::fromUtf8(QTest::currentDataTag()));
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(Text(control), text);
    QVERIFY(widget->isVisible() && widget->isEnabled());
    if (!accessibleName.isEmpty()) QCOMPARE(widget->accessibleName(), accessibleName);
    if (auto* line = qobject_cast<QLineEdit*>(widget)) QVERIFY(line->isReadOnly());
    if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->textFormat(), Qt::PlainText);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QVERIFY(!button->isDefault() && !button->autoDefault());
        QCOMPARE(button->font().pixelSize(), 24);
    }
}

void TestMainWindow::createdRunsOnceBeforeTheWindowIsShown() {
    QCOMPARE(createdCount_, 1);
    QVERIFY(!visibleWhenCreated_);
    QVERIFY(main_->window()->Widget()->isVisible());
}

void TestMainWindow::compute_data() {
    QTest::addColumn<QString>("typed");  // "\n" is the Enter key
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("readOuts");

    QTest::newRow("3 4 5") << "3\n4\n5" << "3" << QStringList{"3", "4", "1", "0.25"};
    QTest::newRow("1 to 4") << "1\n2\n3\n4" << "4" << QStringList{"4", "2.5", "1.291", "0.5163977794943222"};
    QTest::newRow("line break after the last line")
        << "3\n4\n5\n" << "3" << QStringList{"3", "4", "1", "0.25"};
    QTest::newRow("one line break only") << "\n" << "1" << QStringList{"1", "NaN", "NaN", "NaN"};
    QTest::newRow("one space only") << " " << "1" << QStringList{"1", "NaN", "NaN", "NaN"};
    QTest::newRow("comma inside a line") << "1,5\n3" << "2" << QStringList{"3", "3", "2", "0.6666666666666666"};
    QTest::newRow("one value") << "5" << "1" << QStringList{"1", "5", "NaN", "NaN"};
    QTest::newRow("letters") << "3\nabc\n5" << "3" << QStringList{"3", "NaN", "NaN", "NaN"};
}

void TestMainWindow::compute() {
    QFETCH(QString, typed);
    QFETCH(QString, label);
    QFETCH(QStringList, readOuts);

    Type(typed);
    QCOMPARE(Text(id::k标签5), QStringLiteral("当前待计算数有：%1 个").arg(label));
    Click(id::k按钮_计算);
    QCOMPARE(ReadOuts(), readOuts);
    QCOMPARE(Input()->toPlainText(), typed);  // the input is left as it was
}

void TestMainWindow::emptyInputIsRefusedWithAMessage() {
    Type("3\n4\n5");
    Click(id::k按钮_计算);
    Input()->selectAll();
    QTest::keyClick(Input(), Qt::Key_Delete);
    QCOMPARE(Text(id::k标签5), QStringLiteral("当前待计算数有：0 个"));

    testing::MessageBoxWatcher watcher;
    // The space bar on the focused compute button is its click.
    Control(id::k按钮_计算)->setFocus();
    QTest::keyClick(Control(id::k按钮_计算), Qt::Key_Space);
    QCOMPARE(watcher.seen.size(), 1);
    const testing::SeenMessageBox& box = watcher.seen.first();
    QCOMPARE(box.title, QStringLiteral("信息："));
    QCOMPARE(box.text, QStringLiteral("请输入要计算的数据"));
    QCOMPARE(box.buttons, QStringList{"OK"});
    QVERIFY(box.applicationModal);
    QVERIFY(!box.hasParent);
    QCOMPARE(ReadOuts(), (QStringList{"3", "4", "1", "0.25"}));  // an earlier result stays
}

void TestMainWindow::secondComputationOverwritesTheFirst() {
    Type("3\n4\n5");
    Click(id::k按钮_计算);
    Input()->selectAll();
    Type("5\n5");
    Click(id::k按钮_计算);
    QCOMPARE(ReadOuts(), (QStringList{"2", "5", "0", "0"}));
}

void TestMainWindow::countLabel_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("count");

    QTest::newRow("nothing") << "" << 0;
    QTest::newRow("one line") << "12" << 1;
    QTest::newRow("two lines") << "12\n13" << 2;
    QTest::newRow("empty line between") << "12\n\n13" << 3;
    QTest::newRow("one line and a line break") << "12\n" << 1;
    QTest::newRow("one line and two line breaks") << "12\n\n" << 2;
    QTest::newRow("one bare line break") << "\n" << 1;
    QTest::newRow("two bare line breaks") << "\n\n" << 2;
    QTest::newRow("letters and spaces") << "a b c\n   " << 2;
    QTest::newRow("a long line wrapped on screen") << QString(60, '7') << 1;
    // The lines are counted in the GBK text, where the euro sign is the one byte 0x80: the
    // scan takes it for the first byte of a pair, so it joins the CR of a line break and
    // the two lines count as one.
    QTest::newRow("euro sign at the end of a line") << QStringLiteral("3€\n4") << 1;
    QTest::newRow("euro sign inside a line") << QStringLiteral("€3\n4") << 2;
}

void TestMainWindow::countLabel() {
    QFETCH(QString, typed);
    QFETCH(int, count);
    Type(typed);
    QCOMPARE(Text(id::k标签5), QStringLiteral("当前待计算数有：%1 个").arg(count));
}

void TestMainWindow::pasteCountsThePastedLines() {
    QGuiApplication::clipboard()->setText("1\n2\n3\n4\n");
    Input()->setFocus();
    QTest::keyClick(Input(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Text(id::k标签5), QStringLiteral("当前待计算数有：4 个"));
    Click(id::k按钮_计算);
    QCOMPARE(ReadOuts(), (QStringList{"4", "2.5", "1.291", "0.5163977794943222"}));
}

void TestMainWindow::clearEmptiesEverything() {
    Type("1\n2\n3\n4");
    Click(id::k按钮_计算);
    QCOMPARE(ReadOuts().first(), QString("4"));
    Click(id::k按钮_清空);
    QCOMPARE(Input()->toPlainText(), QString());
    QCOMPARE(ReadOuts(), (QStringList{"", "", "", ""}));
    QCOMPARE(Text(id::k标签5), QStringLiteral("当前待计算数有：0 个"));
    Click(id::k按钮_清空);  // again, with everything empty
    QCOMPARE(Text(id::k标签5), QStringLiteral("当前待计算数有：0 个"));
}

void TestMainWindow::focusOrder() {
    const QList<window::ControlId> order = {
        id::k按钮_计算,       id::k编辑框1,   id::k编辑框_计算总数,   id::k编辑框_平均数,
        id::k编辑框_变异系数, id::k编辑框_标准差, id::k按钮_清空, id::k按钮_打开小键盘};
    QCOMPARE(QApplication::focusWidget(), Control(order.first()));
    for (int i = 1; i <= order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Control(order[i % order.size()]));
    }
    for (int i = order.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), Control(order[i]));
    }
}

void TestMainWindow::tabInTheInputBoxMovesOn() {
    Type("12");
    QTest::keyClick(Input(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Control(id::k编辑框_计算总数));
    QCOMPARE(Input()->toPlainText(), QString("12"));
}

void TestMainWindow::enterOnlyInTheInputBox() {
    Type("3\n4\n5");
    for (window::ControlId control : {id::k按钮_计算, id::k按钮_清空, id::k编辑框_平均数}) {
        Control(control)->setFocus();
        QTest::keyClick(Control(control), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Control(control));
    }
    QCOMPARE(ReadOuts(), (QStringList{"", "", "", ""}));  // nothing was clicked
    QCOMPARE(Input()->toPlainText(), QString("3\n4\n5"));
    QCOMPARE(main_->window()->ReadText(id::k编辑框1), std::string("3\r\n4\r\n5"));
}

void TestMainWindow::escapeClosesFromTheInputBox() {
    Type("unsaved");
    QTest::keyClick(Input(), Qt::Key_Escape);
    QVERIFY(!main_->window()->IsOpen());
}

void TestMainWindow::keypadStartsOsk() {
    QTemporaryDir bin;
    const QString marker = bin.filePath("started");
    QFile script(bin.filePath("osk"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QString("#!/bin/sh\necho \"$@\" > '%1'\n").arg(marker).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
    Click(id::k按钮_打开小键盘);
    qputenv("PATH", path);
    QTRY_VERIFY(QFile::exists(marker));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestMainWindow::keypadStaysSilentWhenNothingStarts() {
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", empty.path().toLocal8Bit());
    Click(id::k按钮_打开小键盘);
    Click(id::k按钮_打开小键盘);
    qputenv("PATH", path);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(main_->window()->IsOpen());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
