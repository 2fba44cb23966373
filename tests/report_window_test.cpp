// The report window offscreen, over a prepared diary, at a set time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <fstream>

#include "core/csv_writer.h"
#include "core/logfile.h"
#include "platform/qt_text.h"
#include "report/complaint.h"
#include "report/notes.h"
#include "report/outputs.h"
#include "tests/fake_services.h"
#include "tests/temp_dir.h"
#include "ui/bar_chart.h"
#include "ui/entry_model.h"
#include "ui/report_settings.h"
#include "ui/report_window.h"

namespace suelvan::test {
namespace {

const std::string kDiary =
    "\r\nSonntag, 29.11.2026\r\n23:10 ! Nov\r\n"
    "\r\nDienstag, 8.12.2026\r\n14:00 ! a\r\n22:14 !! Landung? b\r\n"
    "\r\nMittwoch, 9.12.2026\r\n1:55 !!! c\r\n5:59 d\r\n6:00 Landung? e\r\n23:30 ! sp\xE4t\r\n"
    "\r\nDonnerstag, 10.12.2026\r\n0:40 Landung? f\r\nZettel\r\n";

class ReportWindowTest : public ::testing::Test {
   protected:
    ReportWindowTest() {
        services.now = {2026, 12, 10, 9, 30, 0, 60};
        WriteBytes(diary(), kDiary);
    }
    std::filesystem::path diary() const { return dir.path() / "Sülvan.txt"; }
    std::filesystem::path ini() const { return dir.path() / "suelvan-bericht.ini"; }
    std::unique_ptr<ReportWindow> Open() {
        auto window = std::make_unique<ReportWindow>(services, diary(), ini());
        window->SetDialogs(
            {[this](QWidget*, const QString&, const QString&, const QString&) { return saveAs; },
             [this](QWidget*, const QString&, const QString&) { return openFile; },
             [this](QPrinter& printer, QWidget*) {
                 // "Print to file", as a user chooses it in the dialog.
                 printer.setOutputFormat(QPrinter::PdfFormat);
                 printer.setOutputFileName(printTo);
                 return !printTo.isEmpty();
             }});
        // The entry list and the fields for dates and a night of one's own come after the
        // first paint.
        window->show();
        [&] { QTRY_VERIFY(window->findChild<QTableView*>("tblEintraege") != nullptr); }();
        return window;
    }
    // Reading and counting run off the window's thread: wait for their result.
    static void Settle(ReportWindow& window) { QTRY_VERIFY_WITH_TIMEOUT(!window.Loading(), 10000); }
    static void Choose(ReportWindow& window, const char* list, const char* item) {
        auto* box = Find<QComboBox>(window, list);
        box->setCurrentIndex(box->findText(QString::fromUtf8(item)));
        Settle(window);
    }
    // Answers the "Angaben" dialog about to open with these values.
    static void AnswerSettings(const char* name, const char* authority, const char* recipient) {
        QTimer::singleShot(0, [=] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QLineEdit*>("txtName")->setText(QString::fromUtf8(name));
            dialog->findChild<QLineEdit*>("txtStelle")->setText(QString::fromUtf8(authority));
            dialog->findChild<QLineEdit*>("txtEmpfaenger")->setText(QString::fromUtf8(recipient));
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });
    }
    static QStringList TableRows(QWidget& window, const char* name) {
        QAbstractItemModel* model = Find<QTableView>(window, name)->model();
        QStringList rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c) cells << model->index(r, c).data().toString();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
    template <typename W>
    static W* Find(QWidget& window, const char* name) {
        W* widget = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QString Name(QWidget& window, const char* name) {
        return Find<QWidget>(window, name)->accessibleName();
    }
    static QString Summary(QWidget& window) {
        QStringList names;
        for (const char* label : {"lblEintraege", "lblNachts", "lblLandungen", "lblGestoerteNaechte",
                                  "lblStufe0", "lblStufe1", "lblStufe2", "lblStufe3"}) {
            names << Name(window, label);
        }
        return names.join(QStringLiteral(", "));
    }
    static QStringList Rows(QWidget& window) { return TableRows(window, "tblEintraege"); }

    TempDir dir;
    FakeServices services;
    QString saveAs;
    QString openFile;
    QString printTo;
};

TEST_F(ReportWindowTest, OpensOnThisMonthWithItsNumbersAndEntries) {
    auto window = Open();
    EXPECT_EQ(Summary(*window),
              "Einträge: 7, Nachts: 5, Landungen: 3, Gestörte Nächte: 2, Stufe 0: 3, Stufe 1: 2, Stufe 2: 1, "
              "Stufe 3: 1");
    EXPECT_EQ(Find<QLabel>(*window, "lblEintraege")->text(), "Einträge: 7");
    EXPECT_EQ(Rows(*window),
              QStringList({
                  "8.12.2026|14:00||trotz geschlossener Fenster hörbar!|nein|a|6",
                  "8.12.2026|22:14|8./9.12.2026|dröhnend/lang anhaltend!!|ja|b|7",
                  "9.12.2026|1:55|8./9.12.2026|Extrem laut - Fensterscheiben vibrieren!!!|nein|c|10",
                  "9.12.2026|5:59|8./9.12.2026|störend|nein|d|11",
                  "9.12.2026|6:00||störend|ja|e|12",
                  "9.12.2026|23:30|9./10.12.2026|trotz geschlossener Fenster hörbar!|nein|spät|13",
                  "10.12.2026|0:40|9./10.12.2026|störend|ja|f|16",
              }));
    EXPECT_EQ(Name(*window, "lblZeilen"), "Nicht erkannte Zeilen: 1 · Einträge ohne Datum: 0");
    EXPECT_EQ(Find<BarChart>(*window, "chrStunden")->accessibleDescription(),
              "0 Uhr: 1; 1 Uhr: 1; 5 Uhr: 1; 6 Uhr: 1; 14 Uhr: 1; 22 Uhr: 1; 23 Uhr: 1");
    // "Dieser Monat" so far: up to today, the 10th.
    EXPECT_EQ(Find<BarChart>(*window, "chrTage")->Values().size(), 10u);
    EXPECT_EQ(Name(*window, "lblAuswahl"), "Alle Einträge vom 1.12.2026 bis 10.12.2026");
    EXPECT_EQ(window->windowTitle(), "Bericht – Sülvan.txt");
}

struct PeriodCase {
    const char* choice;
    const char* night;  // a caption of the night list, or a custom window
    const char* summary;
};

class PeriodChange : public ReportWindowTest, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(PeriodChange, CountsAgain) {
    auto window = Open();
    auto* nights = Find<QComboBox>(*window, "cboNacht");
    const int known = nights->findText(QString::fromUtf8(GetParam().night));
    if (known < 0) {
        nights->setCurrentIndex(nights->count() - 1);
        auto* own = Find<QLineEdit>(*window, "txtNacht");
        Settle(*window);
        own->setText(QString::fromUtf8(GetParam().night));
        QTest::keyClick(own, Qt::Key_Return);
    } else {
        nights->setCurrentIndex(known);
    }
    Settle(*window);
    Choose(*window, "cboZeitraum", GetParam().choice);
    EXPECT_EQ(Summary(*window).section(QStringLiteral(", Stufe 0"), 0, 0).toStdString(), GetParam().summary)
        << GetParam().choice << ", " << GetParam().night;
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PeriodChange,
    ::testing::Values(
        PeriodCase{"Letzte Nacht", "22:00–6:00 (Deutschland)",
                   "Einträge: 2, Nachts: 2, Landungen: 1, Gestörte Nächte: 1"},
        PeriodCase{"Letzte 7 Tage", "22:00–6:00 (Deutschland)",
                   "Einträge: 7, Nachts: 5, Landungen: 3, Gestörte Nächte: 2"},
        PeriodCase{"Letzter Monat", "22:00–6:00 (Deutschland)",
                   "Einträge: 1, Nachts: 1, Landungen: 0, Gestörte Nächte: 1"},
        PeriodCase{"Dieses Jahr", "22:00–6:00 (Deutschland)",
                   "Einträge: 8, Nachts: 6, Landungen: 3, Gestörte Nächte: 3"},
        PeriodCase{"Alles", "22:00–6:00 (Deutschland)",
                   "Einträge: 8, Nachts: 6, Landungen: 3, Gestörte Nächte: 3"},
        PeriodCase{"Dieser Monat", "0:00–5:00", "Einträge: 7, Nachts: 2, Landungen: 3, Gestörte Nächte: 2"},
        PeriodCase{"Letzte Nacht", "0:00–5:00", "Einträge: 1, Nachts: 1, Landungen: 1, Gestörte Nächte: 1"},
        PeriodCase{"Dieser Monat", "23:30-01:00", "Einträge: 7, Nachts: 2, Landungen: 3, Gestörte Nächte: 1"},
        PeriodCase{"Dieser Monat", "23:00–7:00",
                   "Einträge: 7, Nachts: 5, Landungen: 3, Gestörte Nächte: 2"}));

TEST_F(ReportWindowTest, StartsWithANightRuleOfOnesOwnFromTheSettings) {
    WriteBytes(ini(), "[General]\nNacht=23:30-01:00\n");
    auto window = Open();
    EXPECT_EQ(Find<QComboBox>(*window, "cboNacht")->currentText(), "Eigene…");
    EXPECT_EQ(Find<QLineEdit>(*window, "txtNacht")->text(), "23:30-01:00");
    EXPECT_EQ(Name(*window, "lblNachts"), "Nachts: 2");
}

TEST_F(ReportWindowTest, ShowsAChosenPeriodAndTheEntriesOfAClickedDate) {
    auto window = Open();
    window->ShowPeriod(DayNumber(2026, 12, 9), DayNumber(2026, 12, 9));
    Settle(*window);
    EXPECT_EQ(Name(*window, "lblEintraege"), "Einträge: 4");
    window->ShowPeriod(DayNumber(2026, 11, 1), DayNumber(2026, 12, 31));
    Settle(*window);
    auto* dates = Find<BarChart>(*window, "chrTage");
    ASSERT_EQ(dates->Values().size(), 61u);  // the period's every day
    dates->setFocus();
    for (int i = 0; i < 38; ++i) QTest::keyClick(dates, Qt::Key_Right);  // to 9.12.
    QTest::keyClick(dates, Qt::Key_Return);
    EXPECT_EQ(Rows(*window).size(), 4);
    EXPECT_EQ(Name(*window, "lblAuswahl"), "Einträge vom 9.12.2026: 4");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdAlleTage"), Qt::LeftButton);
    EXPECT_EQ(Rows(*window).size(), 8);
}

TEST_F(ReportWindowTest, SortsByAnyColumn) {
    auto window = Open();
    auto* table = Find<QTableView>(*window, "tblEintraege");
    table->sortByColumn(EntryModel::kLoudness, Qt::DescendingOrder);
    EXPECT_TRUE(Rows(*window).front().startsWith("9.12.2026|1:55|")) << Rows(*window).front().toStdString();
    table->sortByColumn(EntryModel::kNight, Qt::AscendingOrder);
    EXPECT_EQ(Rows(*window).mid(0, 3).join(QLatin1Char(' ')).count(QStringLiteral("||")),
              2);                                       // day entries first
    EXPECT_TRUE(Rows(*window).last().contains("|f|"));  // 0:40 after 23:30 in its night
    table->sortByColumn(EntryModel::kLine, Qt::DescendingOrder);
    EXPECT_TRUE(Rows(*window).front().endsWith("|16"));
    table->sortByColumn(EntryModel::kNote, Qt::AscendingOrder);
    EXPECT_EQ(Rows(*window).front().section(QLatin1Char('|'), 5, 5), "a");
    // Another period keeps the order chosen.
    Choose(*window, "cboZeitraum", "Alles");
    EXPECT_EQ(Rows(*window).last().section(QLatin1Char('|'), 5, 5), "spät");
    EXPECT_EQ(Rows(*window).front().section(QLatin1Char('|'), 5, 5), "Nov");
}

const char* const kSettings =
    "[General]\nName=Erika M\xC3\xBCller\nAnschrift=\"Lindenweg 3\\n12345 S\xC3\xBClvan\"\n"
    "Stelle=Fluglärmschutzbeauftragte\nEmpfaenger=fluglaerm@example.org\n";

const QString kLastNightLetter =
    "Sehr geehrte Damen und Herren,\n\n"
    "hiermit beschwere ich mich über den Fluglärm in der Nacht 9./10.12.2026. Ich habe 2 Lärmereignisse "
    "notiert, davon 2 in der Nachtzeit (22:00 bis 6:00 Uhr) und 1 Landung.\n\n"
    "- 9.12.2026, 23:30 Uhr: trotz geschlossener Fenster hörbar – „spät“\n"
    "- 10.12.2026, 0:40 Uhr: störend, Landung – „f“\n\n"
    "Ich bitte Sie, diese Beschwerde zu prüfen und mir mitzuteilen, was gegen den Lärm unternommen wird.\n\n"
    "Mit freundlichen Grüßen\n\nErika Müller\nLindenweg 3\n12345 Sülvan\n";

TEST_F(ReportWindowTest, CopiesTheLetterOfLastNightToTheAuthority) {
    WriteBytes(ini(), kSettings);
    auto window = Open();
    Choose(*window, "cboZeitraum", "Letzte Nacht");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdKopieren"), Qt::LeftButton);
    EXPECT_EQ(
        QGuiApplication::clipboard()->text(),
        "An: Fluglärmschutzbeauftragte\nBetreff: Beschwerde über Fluglärm in der Nacht 9./10.12.2026\n\n" +
            kLastNightLetter);
    EXPECT_EQ(Name(*window, "lblStatus"), "Beschwerdetext kopiert: 2 Ereignisse.");
    // The status is about what was shown: another period, and it is gone.
    Choose(*window, "cboZeitraum", "Alles");
    EXPECT_EQ(Name(*window, "lblStatus"), "");
}

TEST_F(ReportWindowTest, ChoosesANightInItsTableAndComplainsAboutIt) {
    WriteBytes(ini(), kSettings);
    auto window = Open();
    EXPECT_EQ(Name(*window, "tblNaechte"), "Nächte");
    EXPECT_EQ(TableRows(*window, "tblNaechte"),
              QStringList({"8./9.12.2026|3|22:14|5:59", "9./10.12.2026|2|23:30|0:40"}));
    // Over several nights the letter groups the events, with a count each.
    QTest::mouseClick(Find<QPushButton>(*window, "cmdKopieren"), Qt::LeftButton);
    const QString month = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(
        month.contains("vom 1.12.2026 bis 10.12.2026. Ich habe 7 Lärmereignisse notiert, davon 5 in der "
                       "Nachtzeit (22:00 bis 6:00 Uhr) und 3 Landungen.\n\n"
                       "Tagsüber am 8.12.2026 (1 Ereignis):\n"
                       "- 8.12.2026, 14:00 Uhr: trotz geschlossener Fenster hörbar – „a“\n\n"
                       "Nacht 8./9.12.2026 (3 Ereignisse):\n"
                       "- 8.12.2026, 22:14 Uhr: dröhnend oder lang anhaltend, Landung – „b“\n"
                       "- 9.12.2026, 1:55 Uhr: extrem laut, Fensterscheiben vibrieren – „c“\n"
                       "- 9.12.2026, 5:59 Uhr: störend – „d“\n\n"
                       "Tagsüber am 9.12.2026 (1 Ereignis):\n"))
        << month.toStdString();

    // By the keyboard: down to the second night, Enter.
    auto* nights = Find<QTableView>(*window, "tblNaechte");
    nights->setFocus();
    QTest::keyClick(nights, Qt::Key_Down);
    QTest::keyClick(nights, Qt::Key_Down);
    QTest::keyClick(nights, Qt::Key_Return);
    EXPECT_EQ(Rows(*window).size(), 2);
    EXPECT_EQ(Name(*window, "lblAuswahl"), "Nacht 9./10.12.2026: 2");
    EXPECT_EQ(Name(*window, "lblEintraege"), "Einträge: 2");
    EXPECT_EQ(Name(*window, "lblLandungen"), "Landungen: 1");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdKopieren"), Qt::LeftButton);
    EXPECT_EQ(
        QGuiApplication::clipboard()->text(),
        "An: Fluglärmschutzbeauftragte\nBetreff: Beschwerde über Fluglärm in der Nacht 9./10.12.2026\n\n" +
            kLastNightLetter);

    // Back to all, then a click on a night in the entry table's "Nacht" column.
    QTest::mouseClick(Find<QPushButton>(*window, "cmdAlleTage"), Qt::LeftButton);
    EXPECT_EQ(Rows(*window).size(), 7);
    auto* entries = Find<QTableView>(*window, "tblEintraege");
    const QModelIndex night = entries->model()->index(2, EntryModel::kNight);  // 9.12. 1:55
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, {}, entries->visualRect(night).center());
    EXPECT_EQ(Name(*window, "lblAuswahl"), "Nacht 8./9.12.2026: 3");
    EXPECT_EQ(Find<QTableView>(*window, "tblNaechte")->selectionModel()->selectedRows().size(), 1);
}

TEST_F(ReportWindowTest, MailsTheNightWithItsReportAttachedThroughXdgEmail) {
    WriteBytes(ini(), std::string(kSettings).replace(std::string(kSettings).find("Empfaenger="),
                                                     std::string::npos, "Empfaenger=a@b.de, c@d.de\n"));
    // A stand-in for xdg-email that records its arguments and keeps the attachment.
    const std::filesystem::path bin = dir.path() / "bin";
    std::filesystem::create_directory(bin);
    WriteBytes(bin / "xdg-email",
               "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n\\036\\n' \"$a\"; done > \"$0.args\"\n"
               "while [ $# -gt 0 ]; do [ \"$1\" = --attach ] && cp \"$2\" \"$0.pdf\"; shift; done\n"
               "touch \"$0.done\"\n");
    std::filesystem::permissions(bin / "xdg-email", std::filesystem::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.string()) + ":" + path);
    services.desktopMail = true;
    auto window = Open();
    Choose(*window, "cboZeitraum", "Letzte Nacht");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdEmail"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(bin / "xdg-email.done"), 10000);
    qputenv("PATH", path);
    const QStringList args = QString::fromStdString(ReadBytes(bin / "xdg-email.args")).split("\n\036\n");
    ASSERT_EQ(args.size(), 10) << args.join('|').toStdString();
    EXPECT_EQ(args.mid(0, 5),
              QStringList({"--utf8", "--subject", "Beschwerde über Fluglärm in der Nacht 9./10.12.2026",
                           "--body", kLastNightLetter}));
    EXPECT_EQ(args[5], "--attach");
    // A fresh file among the temporary ones, never beside the diary.
    EXPECT_TRUE(args[6].startsWith(QDir::tempPath() + "/suelvan-")) << args[6].toStdString();
    EXPECT_NE(platform::ToPath(args[6]).parent_path(), dir.path());
    EXPECT_EQ(args.mid(7, 2), QStringList({"a@b.de", "c@d.de"}));
    QProcess text;
    text.start("pdftotext", {"-layout", platform::ToQString(bin / "xdg-email.pdf"), "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(pdf.contains("Zeitraum: 9.12.2026 – 10.12.2026")) << pdf.toStdString();
    EXPECT_TRUE(pdf.contains(QRegularExpression("9\\.12\\.2026 +23:30 +hörbar +nein +spät")))
        << pdf.toStdString();
    EXPECT_TRUE(pdf.contains(QRegularExpression("10\\.12\\.2026 +0:40 +störend +ja +f")))
        << pdf.toStdString();
    EXPECT_FALSE(pdf.contains("14:00")) << "only the night's events";
    EXPECT_EQ(Name(*window, "lblStatus"), "E-Mail an a@b.de, c@d.de mit dem Bericht als Anhang geöffnet.");
}

TEST_F(ReportWindowTest, WithoutXdgEmailTheLinkCarriesTheWholeTextOrTheClipboardDoes) {
    WriteBytes(ini(), kSettings);
    services.mailProgram = false;
    auto window = Open();
    Choose(*window, "cboZeitraum", "Letzte Nacht");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdEmail"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(services.mailed.size(), std::size_t{1},
                              10000);  // after the PDF, off the thread
    const QByteArray url = services.mailed.front();
    EXPECT_TRUE(
        url.startsWith("mailto:fluglaerm@example.org?subject=Beschwerde%20%C3%BCber%20Flugl%C3%A4rm%20in%20"
                       "der%20Nacht%209.%2F10.12.2026&body=Sehr%20geehrte%20Damen%20und%20Herren%2C%0D%0A"))
        << url.toStdString();
    QString decoded = QUrl::fromPercentEncoding(url.mid(url.indexOf("&body=") + 6));
    EXPECT_EQ(decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), kLastNightLetter);
    EXPECT_TRUE(
        Name(*window, "lblStatus").startsWith("E-Mail an fluglaerm@example.org geöffnet, ohne Anhang"));
    EXPECT_TRUE(services.messages.empty());

    // Too long for a link: 250 events with long notes.
    std::string many = "Mittwoch, 9.12.2026\r\n";
    for (int i = 0; i < 250; ++i)
        many += "23:" + std::to_string(10 + i % 50) + " !!! " + std::string(120, 'x') + "\r\n";
    WriteBytes(diary(), many);
    QTRY_COMPARE_WITH_TIMEOUT(Name(*window, "lblEintraege"), QStringLiteral("Einträge: 250"), 5000);
    QTest::mouseClick(Find<QPushButton>(*window, "cmdEmail"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(services.mailed.size(), std::size_t{2}, 10000);
    EXPECT_EQ(services.mailed.back(),
              "mailto:fluglaerm@example.org?subject=Beschwerde%20%C3%BCber%20Flugl%C3%A4rm%20in%20der%"
              "20Nacht%209.%2F10."
              "12.2026");
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.messages.front().contains("Zwischenablage"));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains("Ich habe 250 Lärmereignisse notiert"));
    EXPECT_TRUE(Name(*window, "lblStatus").contains("Zwischenablage"));
}

TEST_F(ReportWindowTest, ManyEventsAreListedByNight) {
    std::string many = "Dienstag, 8.12.2026\r\n";
    for (int i = 0; i < 200; ++i) many += "22:" + std::to_string(10 + i % 50) + " x\r\n";
    many += "Mittwoch, 9.12.2026\r\n";
    for (int i = 0; i < 150; ++i) many += "1:" + std::to_string(10 + i % 40) + " y\r\n";
    many += "12:00 z\r\n";
    WriteBytes(diary(), many);
    WriteBytes(ini(), kSettings);
    auto window = Open();
    QTest::mouseClick(Find<QPushButton>(*window, "cmdKopieren"), Qt::LeftButton);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(
        text.contains("Ich habe 351 Lärmereignisse notiert, davon 350 in der Nachtzeit (22:00 bis 6:00 Uhr) "
                      "und 0 Landungen.\n\n"
                      "Die einzelnen Ereignisse stehen im beigefügten Bericht (PDF). Je Nacht:\n"
                      "- Nacht 8./9.12.2026: 350 Ereignisse, von 22:10 bis 1:49 Uhr\n"
                      "- außerhalb der Nachtzeit: 1 Ereignis\n\n"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("- 8.12.2026, 22:10 Uhr"));
}

TEST_F(ReportWindowTest, AsksForTheNameAndRecipientBeforeAComplaint) {
    auto window = Open();
    AnswerSettings("Erika", "", "");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdKopieren"), Qt::LeftButton);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("An: die zuständige Stelle\n"));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().endsWith("Mit freundlichen Grüßen\n\nErika\n"));
    // The recipient still missing: said, nothing mailed.
    AnswerSettings("Erika", "", "");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdEmail"), Qt::LeftButton);
    EXPECT_TRUE(services.composed.empty());
    EXPECT_TRUE(services.mailed.empty());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.messages.front().contains("E-Mail-Empfänger"));
}

TEST_F(ReportWindowTest, KeepsTheChosenDateThroughTheSettingsAndAGrowingDiary) {
    WriteBytes(ini(), kSettings);
    auto window = Open();
    auto* dates = Find<BarChart>(*window, "chrTage");
    dates->setFocus();
    for (int i = 0; i < 8; ++i) QTest::keyClick(dates, Qt::Key_Right);  // to 9.12.
    QTest::keyClick(dates, Qt::Key_Return);
    ASSERT_EQ(Name(*window, "lblAuswahl"), "Einträge vom 9.12.2026: 4");
    AnswerSettings("Erika Müller", "Stelle", "a@b.de");  // saved beside the diary
    QTest::mouseClick(Find<QPushButton>(*window, "cmdAngaben"), Qt::LeftButton);
    QTest::qWait(600);
    Settle(*window);
    EXPECT_EQ(Name(*window, "lblAuswahl"), "Einträge vom 9.12.2026: 4");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdEmail"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(services.composed.size(), std::size_t{1}, 10000);
    EXPECT_TRUE(services.composed.front().body.contains("Ich habe 4 Lärmereignisse notiert"));
    std::ofstream(diary(), std::ios::binary | std::ios::app) << "Mittwoch, 9.12.2026\r\n7:00 ! neu\r\n";
    QTRY_COMPARE_WITH_TIMEOUT(Name(*window, "lblAuswahl"), QStringLiteral("Einträge vom 9.12.2026: 5"), 5000);
    // A change of period starts over.
    Choose(*window, "cboZeitraum", "Alles");
    EXPECT_EQ(Name(*window, "lblAuswahl"), "Alle Einträge vom 29.11.2026 bis 10.12.2026");
}

TEST_F(ReportWindowTest, ShowsWhatIsInEffect) {
    auto window = Open();
    Choose(*window, "cboZeitraum", "Letzte 7 Tage");
    auto* from = Find<QDateEdit>(*window, "datVon");
    auto* to = Find<QDateEdit>(*window, "datBis");
    EXPECT_FALSE(from->isEnabled());
    EXPECT_EQ(from->date(), QDate(2026, 12, 4));
    EXPECT_EQ(to->date(), QDate(2026, 12, 10));
    Choose(*window, "cboZeitraum", "Alles");
    EXPECT_EQ(from->date(), QDate(2026, 11, 29));
    EXPECT_EQ(to->date(), QDate(2026, 12, 10));

    // A night of one's own applies after a pause in typing; its message stands beside it
    // only while it is wrong.
    Choose(*window, "cboNacht", "Eigene…");
    auto* own = Find<QLineEdit>(*window, "txtNacht");
    auto* hint = Find<QLabel>(*window, "txtNachtHinweis");
    own->clear();
    QTest::keyClicks(own, "25:00-6");
    QTRY_VERIFY(hint->isVisible());
    EXPECT_EQ(hint->text(), "„25:00-6“ ist keine Nachtzeit wie 22:00-06:00.");
    own->clear();
    QTest::keyClicks(own, "0:00-5:00");
    QTRY_COMPARE(Name(*window, "lblNachts"), QStringLiteral("Nachts: 2"));
    EXPECT_FALSE(hint->isVisible());

    // The status line has a row of its own and wraps: a long message is read whole.
    auto* status = Find<QLabel>(*window, "lblStatus");
    EXPECT_TRUE(status->wordWrap());
    EXPECT_GT(status->width(), window->width() * 8 / 10);

    // A click on an hour lists that hour's entries.
    auto* hours = Find<BarChart>(*window, "chrStunden");
    hours->setFocus();
    QTest::keyClick(hours, Qt::Key_Right);
    QTest::keyClick(hours, Qt::Key_Return);
    EXPECT_EQ(Name(*window, "lblAuswahl"), "Einträge zwischen 1 und 2 Uhr: 1");
    ASSERT_EQ(Rows(*window).size(), 1);
    EXPECT_TRUE(Rows(*window).front().startsWith("9.12.2026|1:55|"));
}

TEST_F(ReportWindowTest, SaysWhenThereIsNothingAndOffersNothingToActOn) {
    WriteBytes(diary(), "");
    auto window = Open();
    auto* empty = Find<QLabel>(*window, "lblLeer");
    EXPECT_FALSE(empty->isHidden());
    EXPECT_TRUE(empty->text().startsWith("Das Tagebuch ist noch leer")) << empty->text().toStdString();
    for (const char* control : {"cmdPdf", "cmdDrucken", "cmdCsv", "cmdKopieren", "cmdEmail", "chrTage"})
        EXPECT_FALSE(Find<QWidget>(*window, control)->isEnabled()) << control;
    EXPECT_TRUE(Find<QWidget>(*window, "cmdAngaben")->isEnabled());
    WriteBytes(diary(), kDiary);
    QTRY_COMPARE_WITH_TIMEOUT(Name(*window, "lblEintraege"), QStringLiteral("Einträge: 7"), 5000);
    EXPECT_TRUE(empty->isHidden());
    EXPECT_TRUE(Find<QWidget>(*window, "cmdKopieren")->isEnabled());
    window->ShowPeriod(DayNumber(2025, 1, 1), DayNumber(2025, 1, 31));
    Settle(*window);
    EXPECT_EQ(empty->text(), "Im gewählten Zeitraum gibt es keine Einträge.");
    EXPECT_FALSE(Find<QWidget>(*window, "cmdEmail")->isEnabled());
}

TEST_F(ReportWindowTest, CountsOffItsThread) {
    auto window = Open();
    auto* periods = Find<QComboBox>(*window, "cboZeitraum");
    periods->setCurrentIndex(periods->findText("Alles"));
    EXPECT_TRUE(window->Loading()) << "the change returns before the diary is read";
    EXPECT_EQ(Name(*window, "lblEintraege"), "Einträge: 7");
    Settle(*window);
    EXPECT_EQ(Name(*window, "lblEintraege"), "Einträge: 8");
}

TEST(BarChart, DescribesAtMostFourHundredBarsInWords) {
    BarChart chart(QStringLiteral("Einträge je Datum"));
    chart.SetBars(std::vector<int>(500, 2), [](int bar) { return QString::number(bar); });
    const QStringList parts = chart.accessibleDescription().split(QStringLiteral("; "));
    ASSERT_EQ(parts.size(), 401);
    EXPECT_EQ(parts.front(), "0: 2");
    EXPECT_EQ(parts[399], "399: 2");
    EXPECT_EQ(parts.back(), "und 100 weitere");
    chart.SetBars({0, 0}, [](int bar) { return QString::number(bar); });
    EXPECT_EQ(chart.accessibleDescription(), "keine Einträge");
}

TEST(MailtoUrl, IsPercentEncodedUtf8WithCrLf) {
    EXPECT_EQ(
        report::MailtoUrl("a@b.de", "Lärm 9./10.12.", "Zeile 1\nZeile 2 & mehr?\n"),
        "mailto:a@b.de?subject=L%C3%A4rm%209.%2F10.12.&body=Zeile%201%0D%0AZeile%202%20%26%20mehr%3F%0D%0A");
    EXPECT_EQ(report::MailtoUrl("x+y@b.de", "#1", ""), "mailto:x%2By@b.de?subject=%231");
    EXPECT_EQ(report::MailtoUrl("a@b.de, c@d.de", "x", ""), "mailto:a@b.de,%20c@d.de?subject=x");
}

TEST(NoteFile, FetchesNotesFromTheFileThatWasRead) {
    TempDir dir;
    const std::filesystem::path diary = dir.path() / "d.txt";
    WriteBytes(diary, kDiary);
    const report::ReadDiaryResult read = report::ReadDiary(diary, {}, NightRule{}, {true, false, true});
    const auto notes = std::make_unique<report::NoteFile>(read.file);
    QStringList seen;
    for (const DiaryEntry& e : read.report.entries) seen << QString::fromStdString(notes->Note(e));
    EXPECT_EQ(seen.join(QLatin1Char(',')), "Nov,a,b,c,d,e,spät,f");
    auto stream = std::make_unique<report::NoteFile>(read.file);
    QStringList streamed;
    for (const DiaryEntry& e : read.report.entries)
        streamed << QString::fromStdString(std::string(stream->Stream(e)));
    EXPECT_EQ(streamed.join(QLatin1Char(',')), "Nov,a,b,c,d,e,spät,f");
    EXPECT_TRUE(stream->StillAsRead(read.info));
    std::ofstream(diary, std::ios::binary | std::ios::app) << "7:00 neu\r\n";
    EXPECT_TRUE(stream->StillAsRead(read.info)) << "an appended line leaves the bytes read as they were";
    {
        std::fstream inPlace(diary, std::ios::binary | std::ios::in | std::ios::out);
        inPlace.seekp(static_cast<std::streamoff>(read.report.entries[1].noteOffset));
        inPlace << "X";  // rewritten in place, same length
    }
    EXPECT_FALSE(stream->StillAsRead(read.info));
    std::filesystem::resize_file(diary, 10);
    EXPECT_FALSE(stream->StillAsRead(read.info));
    WriteBytes(diary, kDiary);
    // Replaced by an editor: the notes still come from the file that was read.
    const report::ReadDiaryResult again = report::ReadDiary(diary, {}, NightRule{}, {true, false, true});
    WriteBytes(dir.path() / "new.txt", "Mittwoch, 9.12.2026\r\n1:00 anders\r\n");
    std::filesystem::rename(dir.path() / "new.txt", diary);
    EXPECT_EQ(report::NoteFile(again.file).Note(again.report.entries[1]), "a");
}

TEST(ReportSettingsFile, RoundTripsAndTellsWhenItCannotBeWritten) {
    TempDir dir;
    const ReportSettings settings{"Erika Müller", "Lindenweg 3\n12345 Sülvan", "Stelle, Flughafen",
                                  "a@b.de, c@d.de", "23:00-07:00"};
    ASSERT_TRUE(SaveSettings(dir.path() / "suelvan-bericht.ini", settings));
    EXPECT_EQ(LoadSettings(dir.path() / "suelvan-bericht.ini"), settings);
    // Written by hand, without quotes, a comma still separates nothing.
    WriteBytes(dir.path() / "hand.ini", "[General]\nEmpfaenger=a@b.de, c@d.de\nStelle=Amt, Abteilung 3\n");
    EXPECT_EQ(LoadSettings(dir.path() / "hand.ini").recipient, "a@b.de, c@d.de");
    EXPECT_EQ(LoadSettings(dir.path() / "hand.ini").authority, "Amt, Abteilung 3");
    EXPECT_EQ(LoadSettings(dir.path() / "missing.ini"), ReportSettings{});
    // A folder in the file's place stops root too.
    std::filesystem::create_directory(dir.path() / "blocked.ini");
    EXPECT_FALSE(SaveSettings(dir.path() / "blocked.ini", settings));
}

TEST_F(ReportWindowTest, KeepsTheSettingsOfTheDialogAndSaysOnceWhenTheyCannotBeSaved) {
    std::filesystem::create_directory(ini());  // as good as a read-only folder, for root too
    auto window = Open();
    for (const char* name : {"Erika", "Erika Müller"}) {
        QTimer::singleShot(0, [name] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QLineEdit*>("txtName")->setText(QString::fromUtf8(name));
            dialog->findChild<QPlainTextEdit*>("txtAnschrift")->setPlainText("Lindenweg 3");
            dialog->findChild<QLineEdit*>("txtEmpfaenger")->setText("a@b.de");
            auto* nights = dialog->findChild<QComboBox*>("cboNachtzeit");
            nights->setCurrentIndex(nights->findData("00:00-05:00"));
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(*window, "cmdAngaben"), Qt::LeftButton);
    }
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.messages.front().contains("bis das Programm geschlossen wird"));
    EXPECT_EQ(Find<QComboBox>(*window, "cboNacht")->currentText(), "0:00–5:00");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdKopieren"), Qt::LeftButton);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().endsWith("Erika Müller\nLindenweg 3\n"));
}

TEST_F(ReportWindowTest, CancelledSettingsChangeNothing) {
    auto window = Open();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("txtName")->setText("X");
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdAbbrechen"), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(*window, "cmdAngaben"), Qt::LeftButton);
    EXPECT_FALSE(std::filesystem::exists(ini()));
}

TEST_F(ReportWindowTest, OpensWithoutItsDiaryAndLetsAnotherBeChosen) {
    std::filesystem::rename(diary(), dir.path() / "anders.txt");
    auto window = Open();
    auto* message = Find<QLabel>(*window, "lblMeldung");
    EXPECT_FALSE(message->isHidden());
    EXPECT_TRUE(message->text().startsWith("Datei nicht gefunden: " + platform::ToQString(diary())))
        << message->text().toStdString();
    EXPECT_EQ(Name(*window, "lblEintraege"), "Einträge: 0");
    openFile = platform::ToQString(dir.path() / "anders.txt");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdDatei"), Qt::LeftButton);
    Settle(*window);
    EXPECT_TRUE(message->isHidden());
    EXPECT_EQ(Name(*window, "lblEintraege"), "Einträge: 7");
    EXPECT_EQ(window->windowTitle(), "Bericht – anders.txt");
}

TEST_F(ReportWindowTest, FollowsTheDiaryAppendedToAndReplaced) {
    auto window = Open();
    std::ofstream(diary(), std::ios::binary | std::ios::app) << "9:25 ! neu\r\n";
    QTRY_COMPARE_WITH_TIMEOUT(Name(*window, "lblEintraege"), QStringLiteral("Einträge: 8"), 1000);
    // An editor writes a new file and renames it over the old one.
    WriteBytes(dir.path() / "neu.tmp", kDiary.substr(0, kDiary.find("\r\nMittwoch")));
    std::filesystem::rename(dir.path() / "neu.tmp", diary());
    QTRY_COMPARE_WITH_TIMEOUT(Name(*window, "lblEintraege"), QStringLiteral("Einträge: 2"), 1000);
    std::ofstream(diary(), std::ios::binary | std::ios::app) << "23:00 x\r\n";
    QTRY_COMPARE_WITH_TIMEOUT(Name(*window, "lblEintraege"), QStringLiteral("Einträge: 3"), 1000);
}

TEST_F(ReportWindowTest, SavesThePdfAndTheCsvButNeverOverTheDiary) {
    auto window = Open();
    saveAs = platform::ToQString(dir.path() / "Bericht.pdf");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdPdf"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(Name(*window, "lblStatus"), "PDF gespeichert: " + saveAs, 10000);
    EXPECT_EQ(ReadBytes(dir.path() / "Bericht.pdf").substr(0, 5), "%PDF-");
    saveAs = platform::ToQString(dir.path() / "Bericht.csv");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdCsv"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(Name(*window, "lblStatus"), "CSV gespeichert: " + saveAs, 10000);
    // The command line's writer: the same bytes.
    const std::filesystem::path cli = dir.path() / "cli.csv";
    report::CommandLine line;
    line.outputs = {{"csv", cli}};
    line.period = window->PeriodAt(services, ReportWindow::kThisMonthChoice, NightRule{});
    ASSERT_EQ(report::RunOutputs(line, diary(), HeaderWeekdays(services.names), [](const std::string&) {}),
              0);
    EXPECT_EQ(ReadBytes(dir.path() / "Bericht.csv"), ReadBytes(cli));
    const std::string csv = ReadBytes(dir.path() / "Bericht.csv");
    EXPECT_TRUE(csv.starts_with(
        CsvHeader() + "2026-12-08;Dienstag;14:00;;1;trotz geschlossener Fenster hörbar!;nein;a;6\r\n"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 8);
    // Printed to a file: the saved PDF's pages, and said so.
    printTo = platform::ToQString(dir.path() / "Gedruckt.pdf");
    QTest::mouseClick(Find<QPushButton>(*window, "cmdDrucken"), Qt::LeftButton);
    EXPECT_EQ(Name(*window, "lblStatus"), "Als PDF gedruckt: " + printTo);
    const auto pages = [](const std::filesystem::path& pdf) {
        QProcess info;
        info.start("pdfinfo", {platform::ToQString(pdf)});
        info.waitForFinished(30000);
        return QRegularExpression("Pages: +(\\d+)")
            .match(QString::fromUtf8(info.readAllStandardOutput()))
            .captured(1);
    };
    EXPECT_EQ(pages(dir.path() / "Gedruckt.pdf"), pages(dir.path() / "Bericht.pdf"));
    EXPECT_FALSE(pages(dir.path() / "Bericht.pdf").isEmpty());
    saveAs = platform::ToQString(diary());
    QTest::mouseClick(Find<QPushButton>(*window, "cmdCsv"), Qt::LeftButton);
    EXPECT_EQ(ReadBytes(diary()), kDiary);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.messages.front().contains("Tagebuch selbst"));
}

TEST_F(ReportWindowTest, EveryControlHasANameAndIsReachedByTab) {
    auto window = Open();
    window->show();
    QTRY_VERIFY(window->findChild<QWidget*>("datVon") != nullptr);  // made after the first paint
    auto* periods = Find<QComboBox>(*window, "cboZeitraum");
    periods->setCurrentIndex(periods->findText(QStringLiteral("Zeitraum…")));
    QStringList reached;
    for (QWidget* w = window->nextInFocusChain(); w != window.get(); w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(window.get()))
            reached << w->objectName();
    }
    for (const char* control : {"cboZeitraum", "datVon", "datBis", "cboNacht", "cmdDatei", "cmdAngaben",
                                "cmdZeilen", "chrStunden", "chrTage", "tblNaechte", "tblEintraege", "cmdPdf",
                                "cmdDrucken", "cmdCsv", "cmdKopieren", "cmdEmail"}) {
        EXPECT_TRUE(reached.contains(QString::fromLatin1(control))) << control;
        EXPECT_FALSE(Name(*window, control).isEmpty()) << control;
    }
    for (const char* control : {"txtNacht", "cmdAlleTage"}) EXPECT_FALSE(Name(*window, control).isEmpty());
    // In the order they stand in.
    EXPECT_LT(reached.indexOf("cboZeitraum"), reached.indexOf("datVon"));
    EXPECT_LT(reached.indexOf("datVon"), reached.indexOf("datBis"));
    EXPECT_LT(reached.indexOf("datBis"), reached.indexOf("cboNacht"));
}

}  // namespace
}  // namespace suelvan::test
