#include <gtest/gtest.h>

#include "setup/motor/NvmSaveReply.h"

TEST(NvmSaveReplyTest, SuccessAndDriveErrorsReadAsTheUserSeesThem)
{
    EXPECT_EQ(CNvmSaveReply::Text(0), "Successfully saved to NVM.");
    EXPECT_EQ(CNvmSaveReply::Text(36), "Communications timed-out.  Could not save to NVM.");
    EXPECT_EQ(CNvmSaveReply::Text(768), "Comm not enabled.  Could not save to NVM.");
}
