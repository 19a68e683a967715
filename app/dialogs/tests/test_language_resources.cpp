// The dialog tests read the program's English language resources, as built
// next to the program.
#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

#include "app/language_resources.h"

namespace {

class LanguageEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        const QString file = QDir(qEnvironmentVariable("QMX_BUILD_BIN_DIR"))
                                 .filePath(qmx::LanguageResources::FileName(QStringLiteral("English")));
        ASSERT_TRUE(qmx::LanguageResources::LoadFile(file)) << file.toStdString();
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new LanguageEnvironment);

}  // namespace
