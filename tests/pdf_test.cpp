// The report's pages as an authority reads them: measured in the PDF itself with
// poppler's tools.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include "platform/qt_text.h"
#include "report/pdf.h"
#include "report/read_diary.h"
#include "tests/temp_dir.h"

namespace suelvan::report {
namespace {

using test::TempDir;
using test::WriteBytes;

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int Pages(const std::filesystem::path& pdf) {
    const QString info = Run("pdfinfo", {platform::ToQString(pdf)});
    return QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
}

QStringList PageTexts(const std::filesystem::path& pdf) {
    return Run("pdftotext", {"-layout", "-enc", "UTF-8", platform::ToQString(pdf), "-"})
        .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
}

class Pdf : public ::testing::Test {
   protected:
    // A month of entries, fifteen a day, every loudness, with notes.
    Pdf() {
        std::string diary;
        for (int day = 1; day <= 30; ++day) {
            diary += "Montag, " + std::to_string(day) + ".11.2026\r\n";
            for (int i = 0; i < 15; ++i) {
                diary += std::to_string(8 + i) + ":0" + std::to_string(i % 10) + (i % 4 ? " " : "") +
                         std::string(i % 4, '!') + (i % 3 ? "" : " Landung?") + " Notiz " +
                         std::to_string(i) + "\r\n";
            }
        }
        WriteBytes(dir.path() / "d.txt", diary);
        read = ReadDiary(dir.path() / "d.txt", {}, NightRule{}, {true, true, true});
    }
    TempDir dir;
    ReadDiaryResult read;
    LocalDateTime created{2026, 12, 9, 7, 30, 0};
};

TEST_F(Pdf, HasALineAnEntryAndTheTableHeaderOnEveryPage) {
    ASSERT_EQ(read.report.entries.size(), 450u);
    const QByteArray bytes =
        PdfBytes(read.report, read.info, {"Erika", "Lindenweg 3\n12345 Sülvan"}, created);
    WriteBytes(dir.path() / "r.pdf", bytes.toStdString());
    const QStringList pages = PageTexts(dir.path() / "r.pdf");
    // The first page's charts and summary, then some fifty entries a page.
    EXPECT_LE(pages.size(), 11);
    int entryPages = 0;
    for (const QString& page : pages) {
        if (!page.contains(QRegularExpression(
                "\\d+\\.11\\.2026 +\\d+:\\d\\d +(störend|hörbar|dröhnend|extrem) +(ja|nein)")))
            continue;
        ++entryPages;
        EXPECT_TRUE(page.contains(QRegularExpression("Datum +Uhrzeit +Lautstärke +Landung +Notiz")))
            << page.left(400).toStdString();
    }
    EXPECT_GE(entryPages, 8);
    const QString first = pages.front();
    EXPECT_TRUE(first.contains("Lindenweg 3\n12345 Sülvan")) << first.left(300).toStdString();
    // A month: a tick each Monday (as the dates go), values over the bars.
    EXPECT_TRUE(
        first.contains(QRegularExpression("2\\.11\\. +9\\.11\\. +16\\.11\\. +23\\.11\\. +30\\.11\\.")))
        << first.toStdString();
    EXPECT_TRUE(first.contains(QRegularExpression("(15 +){10}"))) << "the value over each date's bar";
}

TEST_F(Pdf, PrintedLaysOutTheSavedPages) {
    const QByteArray bytes = PdfBytes(read.report, read.info, {}, created);
    WriteBytes(dir.path() / "saved.pdf", bytes.toStdString());
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(platform::ToQString(dir.path() / "printed.pdf"));
        PreparePrinter(printer);
        PaintReport(printer, read.report, read.info, {}, created);
    }
    EXPECT_EQ(Pages(dir.path() / "printed.pdf"), Pages(dir.path() / "saved.pdf"));
    EXPECT_EQ(PageTexts(dir.path() / "printed.pdf"), PageTexts(dir.path() / "saved.pdf"));
}

}  // namespace
}  // namespace suelvan::report
