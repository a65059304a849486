// Opens every window of the gallery headless in its typical states and saves each
// as a PNG through the program's own export. With $KORVANE_GALLERY set the pictures
// and index.html go there (tools/gallery); otherwise into a temporary folder, so
// that CTest checks every window opens and renders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cctype>
#include <filesystem>

#include "GalleryWindows.h"
#include "platform/core/MessageBox.h"
#include "testing/TempDir.h"

namespace {

std::string& Folder()
{
    static std::string folder;
    return folder;
}

class GalleryFolder : public ::testing::Environment {
public:
    void SetUp() override
    {
        const char* wanted = std::getenv("KORVANE_GALLERY");
        if (wanted && *wanted) {
            std::filesystem::create_directories(wanted);
            Folder() = wanted;
        } else {
            m_temporary = std::make_unique<TempDir>();
            Folder() = m_temporary->path();
        }
    }
    void TearDown() override
    {
        if (!GalleryShots::All().empty()) {
            EXPECT_TRUE(GalleryShots::WriteIndex(Folder()));
        }
        m_temporary.reset();
    }

private:
    std::unique_ptr<TempDir> m_temporary;
};

const auto* const kFolder = ::testing::AddGlobalTestEnvironment(new GalleryFolder);

class Gallery : public ::testing::TestWithParam<GalleryEntry> {};

TEST_P(Gallery, OpensAndRendersInItsTypicalStates)
{
    const GalleryEntry& entry = GetParam();
    GalleryShots shots(Folder(), entry.name, entry.title);
    entry.show(shots);
    EXPECT_FALSE(shots.Taken().empty()) << entry.name << " took no picture";
    AfxTakeScriptedMessageLog();
}

INSTANTIATE_TEST_SUITE_P(Windows, Gallery, ::testing::ValuesIn(GalleryEntries()),
                         [](const ::testing::TestParamInfo<GalleryEntry>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

}  // namespace
