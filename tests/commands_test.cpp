#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/temp_dir.h"
#include "tests/window_fixture.h"

namespace suelvan {
namespace {

class Commands : public test::Window {
   protected:
    Commands() {
        services_.programDir = dir_.path();
        test::WriteBytes(log_, "");
    }
    void Fill(int option, bool landing, const QString& note, const QString& minutes) {
        QTest::mouseClick(Option(option), Qt::LeftButton, {}, QPoint(7, Option(option)->height() / 2));
        Find<QCheckBox>("chkLandung")->setChecked(landing);
        Find<QLineEdit>("txtNotitz")->setText(note);
        Find<QLineEdit>("txtMinuten")->setText(minutes);
    }
    void ClickCreate() { QTest::mouseClick(Find("cmdNeuEintrag"), Qt::LeftButton); }
    void ExpectInputs(int option, bool landing, const QString& note, const QString& minutes) {
        for (int i = 0; i < 4; ++i) EXPECT_EQ(Option(i)->isChecked(), i == option) << i;
        EXPECT_EQ(Find<QCheckBox>("chkLandung")->isChecked(), landing);
        EXPECT_EQ(Find<QLineEdit>("txtNotitz")->text(), note);
        EXPECT_EQ(Find<QLineEdit>("txtMinuten")->text(), minutes);
    }
    std::string Log() const { return test::ReadBytes(log_); }

    test::TempDir dir_;
    std::filesystem::path log_ = dir_.path() / "Sülvan.txt";
};

TEST_F(Commands, RecordWritesTheLineAndResetsTheInputs) {
    Fill(3, true, QStringLiteral("Tief über dem Dach"), QStringLiteral("5"));
    ClickCreate();
    EXPECT_EQ(Log(),
              "\r\nDienstag, 8.12.2026\r\n14:25 !!! Landung? Tief \xFC"
              "ber dem Dach\r\n");
    ExpectInputs(1, true, "", "0");
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Commands, LandingStaysCheckedForTheNextEntry) {
    Fill(0, true, QStringLiteral("a"), QStringLiteral("0"));
    ClickCreate();
    ClickCreate();
    EXPECT_EQ(Log(), "\r\nDienstag, 8.12.2026\r\n14:30 Landung? a\r\n14:30 ! Landung? \r\n");
}

TEST_F(Commands, EnterInATextBoxRecordsNothing) {
    Find("txtNotitz")->setFocus();
    QTest::keyClick(Find("txtNotitz"), Qt::Key_Return);
    QTest::keyClick(Find("txtMinuten"), Qt::Key_Enter);
    EXPECT_EQ(Log(), "");
}

TEST_F(Commands, MissingLogShowsTheMessageAndKeepsTheInputs) {
    std::filesystem::remove(log_);
    Fill(2, false, QStringLiteral("später"), QStringLiteral("3"));
    ClickCreate();
    ASSERT_EQ(services_.messages.size(), 1U);
    EXPECT_EQ(services_.messages[0], QStringLiteral("Runtime error 'Datei nicht gefunden: ") +
                                         QString::fromStdString(log_.string()) +
                                         QStringLiteral("' in cmdNeuEintrag!"));
    EXPECT_TRUE(services_.cursorBusyDuringMessage);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(log_));
    ExpectInputs(2, false, QStringLiteral("später"), QStringLiteral("3"));

    test::WriteBytes(log_, "");  // the user puts the diary back and tries again
    ClickCreate();
    EXPECT_EQ(Log(), "\r\nDienstag, 8.12.2026\r\n14:27 !! sp\xE4ter\r\n");
    ExpectInputs(1, false, "", "0");
}

TEST_F(Commands, ImpossibleMinutesAreReportedBeforeTheLogIsTouched) {
    Fill(1, false, QStringLiteral("x"), QStringLiteral("1e999"));
    ClickCreate();
    ASSERT_EQ(services_.messages.size(), 1U);
    EXPECT_EQ(services_.messages[0],
              QStringLiteral("Runtime error 'Die Minutenangabe \"1e999\" ist zu groß.' in cmdNeuEintrag!"));
    EXPECT_EQ(Log(), "");
    ExpectInputs(1, false, QStringLiteral("x"), QStringLiteral("1e999"));
}

TEST_F(Commands, ShowOpensTheQuotedLogPath) {
    services_.programDir = "/home/anwohner/Meine Programme/Sülvan";
    QTest::mouseClick(Find("cmdShow"), Qt::LeftButton);
    ASSERT_EQ(services_.opened.size(), 1U);
    EXPECT_EQ(services_.opened[0], QStringLiteral("\"/home/anwohner/Meine Programme/Sülvan/Sülvan.txt\""));
}

TEST_F(Commands, LinkOpensTheComplaintPageFromItsCurrentText) {
    auto* link = Find<QLabel>("lblBI");
    QTest::mouseClick(link, Qt::LeftButton);
    link->setText(QStringLiteral("example.org\\bi"));
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(services_.opened.size(), 2U);
    EXPECT_EQ(services_.opened[0], QStringLiteral("http:\\\\www.bi-tarnwiel.de\\tarnwiel\\#Beschwerdemail"));
    EXPECT_EQ(services_.opened[1], QStringLiteral("http:\\\\example.org\\bi\\#Beschwerdemail"));
}

TEST_F(Commands, FailedLaunchIsShown) {
    services_.openFailure = QStringLiteral("Die Datei konnte nicht geöffnet werden.");
    QTest::mouseClick(Find("cmdShow"), Qt::LeftButton);
    ASSERT_EQ(services_.messages.size(), 1U);
    EXPECT_EQ(services_.messages[0], *services_.openFailure);
}

}  // namespace
}  // namespace suelvan
