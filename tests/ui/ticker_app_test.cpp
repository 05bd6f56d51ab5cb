// The whole application on the offscreen platform, in a scratch folder:
// start-up with its fallbacks, commands, and the one save at the end.
#include "core/messages.h"
#include "ui/message_box.h"
#include "ui/ticker_app.h"
#include "ui/ui_messages.h"
#include "ui_test_support.h"
#include "url_recorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cstdio>
#include <gtest/gtest.h>

namespace zr5::ui::test {
namespace {

class TickerAppTest : public ::testing::Test {
protected:
    TickerAppTest() { clearRecordedMessageBoxes(); }

    TickerOptions options() const
    {
        TickerOptions options;
        options.scriptsFolder = m_folder / "Scripts";
        options.skinsFolder = m_skins;
        options.settingsFile = m_ini;
        options.helpFile = m_folder / "Help" / "index.html";
        // Nothing listens there: the notice patrol fails at once, offline.
        options.noticeUrl = "http://127.0.0.1:9/notice.html";
        options.patrol.logPath = m_folder / "debug_display.txt";
        return options;
    }

    TickerApp& startApp()
    {
        m_app = std::make_unique<TickerApp>(options());
        m_started = m_app->start();
        return *m_app;
    }

    void closeApp()
    {
        QSignalSpy finished(m_app.get(), &TickerApp::finished);
        m_app->requestClose();
        EXPECT_TRUE(waitFor([&] { return finished.count() == 1; }));
    }

    std::string ini() const { return readFile(m_ini); }

    // A category that sends count notifications, then shows "done".
    void writeNotifyScript(int count)
    {
        writeFile(m_folder / "Scripts" / "notify.zrs",
            "category \"Loop\"\n{\n\tvar i = 0;\n\twhile (i < " + std::to_string(count)
                + ")\n\t{\n\t\t_Notify(\"tick\", \"\" + i);\n\t\ti = i + 1;\n\t}\n"
                  "\tDisplay(\"done\", \"http://example.org/\");\n}\n");
    }

    ScratchFolder m_folder;
    std::filesystem::path m_skins = m_folder / "Skins";
    std::filesystem::path m_ini = m_folder / "zr5.ini";
    std::unique_ptr<TickerApp> m_app;
    bool m_started = false;
};

TEST_F(TickerAppTest, StartsWithTheConfiguredSkinPlaceAndFlagsAndSavesOnceAtClose)
{
    writeSkin(m_skins / "Plain", 300, 30);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect saved(screen.left() + 30, screen.top() + 40, 310, 30);
    writeFile(m_ini,
        "; kept\n[Window]\nSkin=Plain\nX=" + std::to_string(saved.x()) + "\nY=" + std::to_string(saved.y())
            + "\nWidth=310\nHeight=30\nZ=1\nSticking=1\n[Other]\nKey=kept too\n");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started) << recordedBoxesUtf8();
    EXPECT_EQ(app.skinName(), "Plain");
    EXPECT_EQ(app.window().geometry(), saved);
    EXPECT_TRUE(app.flags().alwaysInFront);
    EXPECT_FALSE(app.flags().alwaysBehind);
    EXPECT_TRUE(app.flags().positionLock);
    ASSERT_NE(app.display()->currentHeadline(), nullptr);
    EXPECT_EQ(app.display()->currentHeadline()->title, core::messages::kConnecting);

    // No scripts: the first patrol ends with the request to configure some.
    EXPECT_TRUE(waitFor(
        [&] {
            const core::Headline* headline = app.display()->currentHeadline();
            return headline && headline->label == core::messages::kInformationLabel;
        },
        5000));

    app.show();
    EXPECT_TRUE(app.window().isVisible());
    EXPECT_TRUE(waitFor([&] { return app.window().alpha() == 255; })) << "once the fade-in has run";
    EXPECT_FALSE(app.settingsSaved()) << "nothing is written before the end";
    closeApp();
    EXPECT_TRUE(app.settingsSaved());
    std::string written = ini();
    EXPECT_NE(written.find("Skin=Plain"), std::string::npos) << written;
    EXPECT_NE(written.find("X=" + std::to_string(saved.x())), std::string::npos) << written;
    EXPECT_NE(written.find("Width=310"), std::string::npos) << written;
    EXPECT_NE(written.find("Z=1"), std::string::npos) << written;
    EXPECT_NE(written.find("Sticking=1"), std::string::npos) << written;
    EXPECT_NE(written.find("; kept"), std::string::npos) << written;
    EXPECT_NE(written.find("Key=kept too"), std::string::npos) << written;

    // Exactly once: later attempts and the end of the object write nothing.
    writeFile(m_ini, "changed by someone else\n");
    EXPECT_FALSE(app.saveSettingsOnce());
    app.saveSettingsAtExit();
    m_app.reset();
    EXPECT_EQ(ini(), "changed by someone else\n");
}

TEST_F(TickerAppTest, AVanishedSkinFallsBackAndTheSkinInUseIsSaved)
{
    writeSkin(m_skins / "Beta", 250, 20);
    std::filesystem::create_directories(m_skins / "@Group");
    writeFile(m_ini, "[Window]\nSkin=Gone\n");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    EXPECT_EQ(app.skinName(), "Beta");
    EXPECT_EQ(app.window().size(), QSize(250, 20)) << "no rectangle saved: the skin's size";
    EXPECT_EQ(recordedBoxesUtf8(), "ZR5 skin script error: :: スクリプトファイルが見つかりません。");
    closeApp();
    EXPECT_NE(ini().find("Skin=Beta"), std::string::npos) << ini();
}

TEST_F(TickerAppTest, WithoutAnySkinTheStartFailsAndTheSettingsAreStillSavedOnceKeepingTheWindow)
{
    writeFile(
        m_ini, "[Window]\nSkin=Gone\nX=5\nY=6\nWidth=300\nHeight=30\nZ=-1\nSticking=1\n[Timer]\nReload=7\n");
    TickerApp& app = startApp();
    EXPECT_FALSE(m_started);
    EXPECT_TRUE(app.settingsSaved());
    // The user's skin and place survive a start on a broken Skins folder.
    std::string written = ini();
    EXPECT_NE(written.find("Skin=Gone\n"), std::string::npos) << written;
    EXPECT_NE(written.find("X=5\nY=6\nWidth=300\nHeight=30"), std::string::npos) << written;
    EXPECT_NE(written.find("Sticking=1"), std::string::npos) << written;
    EXPECT_NE(written.find("Reload=7"), std::string::npos) << written;
    EXPECT_EQ(recordedBoxesUtf8(),
        "ZR5 skin script error: :: スクリプトファイルが見つかりません。\n"
        "ZR5 ERROR: Skinsフォルダが見つかりません。");
    EXPECT_FALSE(app.saveSettingsOnce());
}

TEST_F(TickerAppTest, ARectangleOffEveryScreenIsBroughtBackAndAnEmptyOneTakesTheSkinSize)
{
    writeSkin(m_skins / "Plain", 300, 30);
    writeFile(m_ini, "[Window]\nSkin=Plain\nX=90000\nY=-70000\nWidth=320\nHeight=30\n");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(app.window().geometry())) << app.window().x() << "," << app.window().y();
    EXPECT_EQ(app.window().size(), QSize(320, 30));
    closeApp();

    m_app.reset();
    writeFile(m_ini, "[Window]\nSkin=Plain\nX=7\nY=9\nWidth=0\nHeight=0\n");
    TickerApp& second = startApp();
    ASSERT_TRUE(m_started);
    EXPECT_EQ(second.window().size(), QSize(300, 30));
    closeApp();

    // Wider than any frame can be drawn: the window would show nothing at all.
    m_app.reset();
    writeFile(m_ini, "[Window]\nSkin=Plain\nX=0\nY=0\nWidth=2000000000\nHeight=30\n");
    TickerApp& third = startApp();
    ASSERT_TRUE(m_started);
    EXPECT_LE(third.window().width(), 16384);
    EXPECT_GE(third.window().width(), 300);
    closeApp();
}

TEST_F(TickerAppTest, MenuCommandsChangeWhatTheSettingsKeep)
{
    writeSkin(m_skins / "Plain", 300, 30);
    writeSkin(m_skins / "@Seasons" / "Winter", 200, 24);
    writeFile(m_ini, "[Window]\nSkin=Plain\n");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    app.show();

    app.runCommand(CommandAlwaysInFront);
    app.runCommand(CommandAlwaysBehind);
    app.runCommand(CommandPositionLock);
    app.runCommand(CommandMoveTopLeft);
    EXPECT_TRUE(app.flags().alwaysInFront && app.flags().alwaysBehind && app.flags().positionLock);
    EXPECT_TRUE(app.window().windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_EQ(app.window().pos(), QPoint(0, 0));

    app.showPopupMenu(PopupKind::Window, { 10, 10 });
    ASSERT_NE(app.popupMenu(), nullptr);
    QAction* skins = findCommand(*app.popupMenu(), CommandSkin);
    ASSERT_NE(skins, nullptr);
    emit skins->menu()->aboutToShow();
    QMenu* seasons = skins->menu()->actions().at(0)->menu();
    ASSERT_NE(seasons, nullptr);
    emit seasons->aboutToShow();
    ASSERT_EQ(seasons->actions().size(), 1);
    seasons->actions()[0]->trigger();
    EXPECT_TRUE(waitFor([&] { return app.skinName() == "@Seasons\\Winter"; }));
    EXPECT_EQ(app.window().size(), QSize(200, 24));

    closeApp();
    std::string written = ini();
    EXPECT_NE(written.find("Skin=@Seasons\\Winter"), std::string::npos) << written;
    EXPECT_NE(written.find("Z=1"), std::string::npos) << "both stacking flags on store 1";
    EXPECT_NE(written.find("Sticking=1"), std::string::npos);
    EXPECT_NE(written.find("X=0\nY=0"), std::string::npos) << written;
}

TEST_F(TickerAppTest, AFailedSkinSwitchKeepsTheSkinInUse)
{
    writeSkin(m_skins / "Plain", 300, 30);
    writeSkinScript(m_skins / "NoMain", "workarea 10, 10;\n");
    writeFile(m_ini, "[Window]\nSkin=Plain\n");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    std::shared_ptr<skin::Skin> before = app.skin();
    clearRecordedMessageBoxes();
    EXPECT_FALSE(app.switchSkin("NoMain"));
    EXPECT_EQ(app.skin(), before);
    EXPECT_EQ(app.skinName(), "Plain");
    EXPECT_EQ(recordedBoxesUtf8(), "ZR5 skin script error: :: window main が定義されていません。");
    closeApp();
    EXPECT_NE(ini().find("Skin=Plain"), std::string::npos);
}

TEST_F(TickerAppTest, HelpOpensItsFileOrSaysItIsMissing)
{
    writeSkin(m_skins / "Plain");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    UrlRecorder urls({ "file", "http", "https" });
    clearRecordedMessageBoxes();
    app.runCommand(CommandHelp);
    EXPECT_EQ(recordedBoxesUtf8(), "Zephyrant2 エラー: ヘルプが見つかりません。");
    EXPECT_TRUE(urls.opened.isEmpty());

    writeFile(m_folder / "Help" / "index.html", "<html></html>");
    clearRecordedMessageBoxes();
    app.runCommand(CommandHelp);
    EXPECT_EQ(recordedBoxesUtf8(), "");
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened[0],
        QUrl::fromLocalFile(QString::fromStdString((m_folder / "Help" / "index.html").string())));
    closeApp();
}

TEST_F(TickerAppTest, DoubleClickOpensTheCurrentHeadlinesLinkResolvedAgainstTheWorkingFolder)
{
    writeSkin(m_skins / "Plain", 300, 30);
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    app.show();
    UrlRecorder urls({ "file", "http", "https", "javascript", "data" });
    auto list = std::make_shared<core::HeadlineList>("Welcome");
    list->append("guide", "Help/index.html#start");
    list->append("no link", "");
    list->append("script", "javascript:alert(1)");
    list->append("local file", "file:///etc/passwd");
    list->append("inline page", "data:text/html,<script>alert(1)</script>");
    list->append("site", "https://example.org/a?b=1");
    app.display()->setMainList(list);
    app.display()->rewind(); // the start-up headline is not read to its end

    for (int headline = 0; headline < 6; ++headline) {
        QTest::mouseDClick(&app.window(), Qt::LeftButton, {}, { 150, 15 });
        app.display()->next();
    }
    ASSERT_EQ(urls.opened.size(), 2)
        << "an empty link does nothing, a feed's script or file link is never opened";
    QUrl help = QUrl::fromLocalFile(QDir::current().absoluteFilePath("Help/index.html"));
    help.setFragment("start");
    EXPECT_EQ(urls.opened[0], help);
    EXPECT_EQ(urls.opened[1], QUrl("https://example.org/a?b=1"));
    closeApp();
}

TEST_F(TickerAppTest, KeysWheelAndHoverSteerTheTickerAndTheSpeedIsKept)
{
    writeSkin(
        m_skins / "Plain", 300, 30, "}\nmessage main\n{\n\txpos 0;\n\typos 0;\n\twidth 300;\n\theight 30;\n");
    writeFile(m_ini, "[Window]\nSkin=Plain\nSpeed=9\nHoverPause=1\n");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started) << recordedBoxesUtf8();
    app.show();
    UrlRecorder urls({ "http" });
    auto list = std::make_shared<core::HeadlineList>("keys");
    for (const char* name : { "a", "b", "c" }) {
        list->append(name, std::string("http://example.org/") + name);
    }
    app.display()->setMainList(list);
    app.display()->rewind();
    EXPECT_EQ(app.display()->speed(), 9) << "the saved speed";

    TickerWindow& window = app.window();
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_EQ(app.display()->currentHeadline()->title, "b");
    QTest::keyClick(&window, Qt::Key_Left);
    QTest::keyClick(&window, Qt::Key_Left);
    EXPECT_EQ(app.display()->currentHeadline()->title, "c");
    QTest::keyClick(&window, Qt::Key_Return);
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened[0], QUrl("http://example.org/c"));

    // Space holds the text where it is, and lets it go again.
    QTest::keyClick(&window, Qt::Key_Space);
    const double held = app.display()->position();
    QTest::qWait(60);
    EXPECT_EQ(app.display()->position(), held);
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_TRUE(waitFor([&] { return app.display()->position() > held; }));

    // The pointer on the window pauses; leaving resumes.
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QCoreApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(app.display()->paused());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_FALSE(app.display()->paused());

    // Wheel steps: one per notch, half notches add up, storms stop at the ends.
    auto wheel = [&](int eighths) {
        QWheelEvent event(QPointF(10, 10), window.mapToGlobal(QPointF(10, 10)), {}, QPoint(0, eighths),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&window, &event);
    };
    wheel(-120);
    EXPECT_EQ(app.display()->speed(), 8);
    wheel(60);
    EXPECT_EQ(app.display()->speed(), 8);
    wheel(60);
    EXPECT_EQ(app.display()->speed(), 9);
    for (int i = 0; i < 1000; ++i) {
        wheel(120);
    }
    EXPECT_EQ(app.display()->speed(), 10);
    wheel(2147483647);
    EXPECT_EQ(app.display()->speed(), 10);
    for (int i = 0; i < 1000; ++i) {
        wheel(-120);
    }
    EXPECT_EQ(app.display()->speed(), 0);
    wheel(120 * 3);
    EXPECT_EQ(app.display()->speed(), 3);
    closeApp();
    EXPECT_NE(ini().find("Speed=3"), std::string::npos) << ini();
}

TEST_F(TickerAppTest, ClosingDuringAPatrolBlockedInNotificationsJoinsItWithoutDeadlock)
{
    writeSkin(m_skins / "Plain");
    writeNotifyScript(20000);
    writeFile(m_ini, "[Script]\nCount=1\n0000=N,*,notify.zrs,Loop\n[Window]\nSkin=Plain\n");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    app.show();
    EXPECT_TRUE(app.patrolRunning());
    closeApp();
    EXPECT_TRUE(app.isClosing());
    EXPECT_TRUE(app.settingsSaved());
    EXPECT_FALSE(app.patrolRunning());
}

TEST_F(TickerAppTest, DialogsCancelThePatrolWhileServingItsNotificationsAndHoldTheTimer)
{
    writeSkin(m_skins / "Plain");
    writeNotifyScript(300);
    writeFile(m_ini, "[Script]\nCount=1\n0000=N,*,notify.zrs,Loop\n[Window]\nSkin=Plain\n");
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started) << recordedBoxesUtf8();
    EXPECT_TRUE(app.patrolRunning());

    bool dialogSeen = false;
    bool patrolRanDuringDialog = true;
    bool timerRanDuringDialog = true;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialogSeen = true;
            // From the tray menu meanwhile: no second dialog on top.
            app.runCommand(CommandOptions);
            app.runCommand(CommandAbout);
            EXPECT_EQ(QApplication::activeModalWidget(), dialog);
            patrolRanDuringDialog = app.patrolRunning();
            timerRanDuringDialog = app.patrolTimerActive();
            dialog->close();
        }
    });
    closer.start(5);
    app.runCommand(CommandScrollSpeed);
    closer.stop();
    EXPECT_TRUE(dialogSeen);
    EXPECT_FALSE(patrolRanDuringDialog);
    EXPECT_FALSE(timerRanDuringDialog);
    EXPECT_TRUE(app.patrolTimerActive()) << "started again once the dialog has gone";
    // The cancelled patrol runs again in full.
    EXPECT_TRUE(waitFor(
        [&] {
            const core::Headline* headline = app.display()->currentHeadline();
            return headline && headline->title == "done";
        },
        10000));
    closeApp();
}

TEST_F(TickerAppTest, AnEmergencySaveCountsAsTheOneSave)
{
    writeSkin(m_skins / "Plain", 300, 30);
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    app.saveSettingsAtExit();
    std::string first = ini();
    EXPECT_NE(first.find("Skin=Plain"), std::string::npos) << first;
    writeFile(m_ini, "after the emergency\n");
    closeApp();
    EXPECT_EQ(ini(), "after the emergency\n");
}

TEST_F(TickerAppTest, SeveralBrokenScriptsAtStartUpGiveOneBoxListingThemAll)
{
    writeSkin(m_skins / "Plain");
    writeFile(m_folder / "Scripts" / "bad1.zrs", "category \"One\"\n{\n\tDisplay(\"x\" \"y\");\n");
    writeFile(m_folder / "Scripts" / "bad2.zrs", "category \"Two\"\n{\n\tDisplay(\"x\" \"y\");\n");
    startApp();
    ASSERT_TRUE(m_started);
    ASSERT_EQ(recordedMessageBoxes().size(), 1u) << recordedBoxesUtf8();
    const RecordedMessageBox& box = recordedMessageBoxes()[0];
    EXPECT_EQ(box.caption, core::messages::kLoadErrorCaption);
    EXPECT_NE(box.text.find("bad1.zrs"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("bad2.zrs"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("error"), std::string::npos) << "the parser's own lines: " << box.text;
    closeApp();
}

TEST_F(TickerAppTest, AScriptLoopingInItsTopLevelCodeIsStoppedByTheLimitAndTheStartGoesOn)
{
    writeSkin(m_skins / "Plain");
    writeFile(m_folder / "Scripts" / "hang.zrs", "while (1) { }\ncategory \"Never\"\n{\n}\n");
    writeFile(m_ini, "[Timer]\nScriptLimit=1\n");
    startApp();
    ASSERT_TRUE(m_started);
    ASSERT_EQ(recordedMessageBoxes().size(), 1u) << recordedBoxesUtf8();
    EXPECT_NE(recordedMessageBoxes()[0].text.find("hang.zrs"), std::string::npos);
    closeApp();
}

TEST_F(TickerAppTest, PatrolLimitsAndNoticePageComeFromTheSettingsUnlessTheEnvironmentNamesOne)
{
    writeSkin(m_skins / "Plain");
    writeFile(m_ini, "[Timer]\nScriptLimit=7\nFetchLimit=9\n[Notice]\nURL=http://127.0.0.1:9/ini.html\n");
    TickerOptions withoutOverride = options();
    withoutOverride.noticeUrl.reset();
    m_app = std::make_unique<TickerApp>(withoutOverride);
    ASSERT_TRUE(m_app->start());
    EXPECT_EQ(m_app->patrolOptions().scriptSeconds, 7u);
    EXPECT_EQ(m_app->patrolOptions().fetchSeconds, 9u);
    EXPECT_EQ(m_app->patrolOptions().noticeUrl, "http://127.0.0.1:9/ini.html");
    closeApp();

    m_app.reset();
    TickerApp& overridden = startApp();
    EXPECT_EQ(overridden.patrolOptions().noticeUrl, "http://127.0.0.1:9/notice.html");
    EXPECT_EQ(overridden.patrolOptions().scriptSeconds, 7u);
    closeApp();
}

class HungPatrolTest : public TickerAppTest {
protected:
    HungPatrolTest()
    {
        writeSkin(m_skins / "Plain", 300, 30);
        writeFile(m_folder / "Scripts" / "loop.zrs", "category \"Loop\"\n{\n\twhile (1) { }\n}\n");
        // No run limit to save the day: only the cancel ends the script.
        writeFile(m_ini,
            "[Script]\nCount=1\n0000=N,*,loop.zrs,Loop\n[Timer]\nScriptLimit=86400\n[Window]\nSkin=Plain\n");
    }
};

TEST_F(HungPatrolTest, CloseSavesFirstAndEndsWithoutWaitingForTheScript)
{
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started) << recordedBoxesUtf8();
    app.show();
    ASSERT_TRUE(app.patrolRunning());
    app.runCommand(CommandPositionLock);
    QSignalSpy finished(&app, &TickerApp::finished);
    QElapsedTimer timer;
    timer.start();
    app.requestClose(TickerApp::CloseBy::Signal);
    EXPECT_TRUE(app.settingsSaved()) << "saved before anything else";
    EXPECT_NE(ini().find("Sticking=1"), std::string::npos) << ini();
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }, 5000));
    std::printf("close took %lld ms\n", static_cast<long long>(timer.elapsed()));
    EXPECT_FALSE(app.patrolRunning()) << "the cancelled worker has left";
}

TEST_F(HungPatrolTest, OptionsOpenAtOnceAndTheCancelledPatrolRunsAgainAfterwards)
{
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started) << recordedBoxesUtf8();
    ASSERT_TRUE(app.patrolRunning());
    QElapsedTimer timer;
    qint64 openedAfter = -1;
    bool patrolDuringSheet = true;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* sheet = QApplication::activeModalWidget()) {
            openedAfter = timer.elapsed();
            patrolDuringSheet = app.patrolRunning();
            sheet->close();
        }
    });
    closer.start(5);
    timer.start();
    app.runCommand(CommandOptions);
    closer.stop();
    std::printf("the sheet opened after %lld ms\n", static_cast<long long>(openedAfter));
    ASSERT_GE(openedAfter, 0);
    EXPECT_LT(openedAfter, 5000);
    EXPECT_FALSE(patrolDuringSheet);
    EXPECT_TRUE(app.patrolRunning()) << "cancelled before it completed: it runs again";
    EXPECT_TRUE(app.patrolTimerActive());
    closeApp();
}

TEST_F(HungPatrolTest, ACloseRequestCancelsAnOpenSheetAndProceeds)
{
    TickerApp& app = startApp();
    ASSERT_TRUE(m_started);
    QSignalSpy finished(&app, &TickerApp::finished);
    bool sheetSeen = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() && !sheetSeen) {
            sheetSeen = true;
            app.requestClose();
        }
    });
    closer.start(5);
    app.runCommand(CommandOptions);
    closer.stop();
    EXPECT_TRUE(sheetSeen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(app.settingsSaved());
    EXPECT_TRUE(waitFor([&] { return finished.count() == 1; }, 5000));
    EXPECT_FALSE(app.patrolRunning());
}

TEST_F(TickerAppTest, AFailedSaveIsToldInABoxToTheUserButNotAtASignal)
{
    writeSkin(m_skins / "Plain");
    TickerOptions gone = options();
    // The folder of the settings file vanishes while the ticker runs.
    std::filesystem::create_directories(m_folder / "Gone");
    gone.settingsFile = m_folder / "Gone" / "zr5.ini";
    for (TickerApp::CloseBy by : { TickerApp::CloseBy::User, TickerApp::CloseBy::Signal }) {
        m_app = std::make_unique<TickerApp>(gone);
        ASSERT_TRUE(m_app->start());
        std::filesystem::remove_all(m_folder / "Gone");
        clearRecordedMessageBoxes();
        QSignalSpy finished(m_app.get(), &TickerApp::finished);
        m_app->requestClose(by);
        EXPECT_TRUE(waitFor([&] { return finished.count() == 1; }));
        if (by == TickerApp::CloseBy::User) {
            ASSERT_EQ(recordedMessageBoxes().size(), 1u);
            EXPECT_EQ(recordedMessageBoxes()[0].caption, msg::kCaptionSaveError);
            EXPECT_EQ(recordedMessageBoxes()[0].text.rfind(msg::kSaveFailed, 0), 0u);
            EXPECT_NE(recordedMessageBoxes()[0].text.find("zr5.ini"), std::string::npos);
        } else {
            EXPECT_TRUE(recordedMessageBoxes().empty()) << recordedBoxesUtf8();
        }
        m_app.reset();
        std::filesystem::create_directories(m_folder / "Gone");
    }
}

TEST_F(TickerAppTest, LeftoversOfAKilledSaveAreRemovedAtStart)
{
    writeSkin(m_skins / "Plain");
    writeFile(m_folder / "zr5.ini.a1B2c3", "half a save");
    startApp();
    ASSERT_TRUE(m_started);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "zr5.ini.a1B2c3"));
    closeApp();
}

} // namespace
} // namespace zr5::ui::test
