// Replays every input a fuzz target once failed on (fuzz/regression/<target>/)
// and the hand-made seeds (fuzz/seeds/<target>/) through the same checks the
// fuzz targets run, in the ordinary sanitizer and debug builds.

#include "fuzz/colour_text_check.h"
#include "fuzz/document_json_check.h"
#include "fuzz/package_check.h"
#include "fuzz/scheme_file_check.h"
#include "fuzz/sequential_input_check.h"
#include "fuzz/theme_reader_check.h"
#include "fuzz/theme_reader_diff_check.h"
#include "fuzz/tip_file_check.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Target {
    const char* name;
    std::function<QString(const QByteArray&)> check;
};

const Target kTargets[] = {
    {"theme_reader", p95::fuzz::checkThemeReading},
    {"theme_reader_diff", p95::fuzz::checkThemeReaderAgainstReference},
    {"scheme_file", p95::fuzz::checkSchemeLoading},
    {"tip_file", p95::fuzz::checkTipFile},
    {"document_json", p95::fuzz::checkDocumentJson},
    {"sequential_input", p95::fuzz::checkSequentialInput},
    {"colour_text", p95::fuzz::checkColourText},
    {"package", p95::fuzz::checkPackage},
};

// Every file below fuzz/<kind>/<target>/.
QStringList inputs(const char* kind, const char* target) {
    const QDir dir(QStringLiteral(P95_FUZZ_DIR "/%1/%2")
                       .arg(QString::fromLatin1(kind), QString::fromLatin1(target)));
    QStringList paths;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

int replay(const Target& target, const QStringList& paths) {
    int replayed = 0;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "cannot read " << path.toStdString();
            continue;
        }
        EXPECT_EQ(target.check(file.readAll()).toStdString(), std::string())
            << target.name << ": " << path.toStdString();
        ++replayed;
    }
    return replayed;
}

} // namespace

TEST(FuzzRegression, EveryEarlierFindingPassesItsTargetsChecks) {
    int replayed = 0;
    for (const Target& target : kTargets)
        replayed += replay(target, inputs("regression", target.name));
    // The finding that started this folder must be there.
    EXPECT_GE(replayed, 1);
}

TEST(FuzzRegression, EveryHandMadeSeedPassesItsTargetsChecks) {
    for (const Target& target : kTargets) {
        if (target.name == std::string("document_json") ||
            target.name == std::string("sequential_input") ||
            target.name == std::string("colour_text"))
            continue; // seeded from their corpora only
        EXPECT_GT(replay(target, inputs("seeds", target.name)), 0) << target.name;
    }
}

// The one-pass reader reads every input of both reader targets, and every
// real theme at hand, as the step-by-step reference does.
TEST(FuzzRegression, TheReaderAgreesWithTheReferenceOnEveryReaderInput) {
    const Target diff{"theme_reader_diff", p95::fuzz::checkThemeReaderAgainstReference};
    int replayed = 0;
    for (const char* kind : {"seeds", "corpus"}) {
        for (const char* target : {"theme_reader", "theme_reader_diff"})
            replayed += replay(diff, inputs(kind, target));
    }
    QStringList realWorld;
    const QDir themes(QStringLiteral(P95_REALWORLD_THEMES));
    for (const QString& name : themes.entryList({QStringLiteral("*.theme")}, QDir::Files))
        realWorld << themes.filePath(name);
    replayed += replay(diff, realWorld);
    EXPECT_GT(replayed, 100);
}

// A preset number out of range was converted to int before its range was
// checked (undefined behaviour, found by fuzz_document_json).
TEST(FuzzRegression, PresetNumbersOutOfRangeAreRefusedWithAReason) {
    for (const char* json :
         {R"({"preset": 1e300})", R"({"preset": -1e300})", R"({"preset": 2147483648})",
          R"({"preset": 2.5})", R"({"preset": 11})"}) {
        const auto doc = p95::documentFromJson(QByteArray(json));
        ASSERT_FALSE(doc.ok()) << json;
        EXPECT_TRUE(doc.error().reason.contains(QStringLiteral("from 0 to 10"))) << json;
    }
    EXPECT_EQ(p95::documentFromJson(QByteArray(R"({"preset": 10})")).value().preset, 10);
}

// The probe of the theme reader's target gives both answers.
TEST(FuzzRegression, TheHashedProbeLoadsSomePathsAndRefusesOthers) {
    int loads = 0;
    for (int i = 0; i < 100; ++i)
        loads += p95::fuzz::hashedPathLoads(QStringLiteral("C:\\%1.cur").arg(i)) ? 1 : 0;
    EXPECT_GT(loads, 50);
    EXPECT_LT(loads, 100);
}
