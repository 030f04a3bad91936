#include <gtest/gtest.h>

#include <cstring>

#include "app/AppState.h"

namespace mj {
namespace {

TEST(TaskParam, LayoutIsTwentyFieldsInTheBindingOrder) {
    using dl::layout::OffsetOf;
    EXPECT_EQ(dl::layout::SizeFor(4), 80u);
    // With 4-byte pointers every field is 4 bytes wide, at 4 × its index.
    for (std::size_t i = 0; i < 20; ++i) EXPECT_EQ(OffsetOf(i, 4), 4 * i) << i;
    EXPECT_EQ(offsetof(dl::TaskParam, Flags), OffsetOf(0, sizeof(void*)));
    EXPECT_EQ(offsetof(dl::TaskParam, Url), OffsetOf(1, sizeof(void*)));
    EXPECT_EQ(offsetof(dl::TaskParam, StopWait), OffsetOf(10, sizeof(void*)));
    EXPECT_EQ(offsetof(dl::TaskParam, LogCallback), OffsetOf(13, sizeof(void*)));
    EXPECT_EQ(offsetof(dl::TaskParam, BinaryExtensions), OffsetOf(17, sizeof(void*)));
    EXPECT_EQ(sizeof(dl::TaskParam::Flags), 4u);
    EXPECT_EQ(sizeof(dl::TaskParam::Url), sizeof(void*));
}

TEST(TaskParam, InitApplicationStoresEveryDefault) {
    InitApplication();
    const dl::TaskParam& p = App().UpdateTask->Param();
    EXPECT_EQ(App().Downloader->handle.load(), 0);
    EXPECT_EQ(p.Flags, 1);
    EXPECT_STREQ(p.Url, "");
    EXPECT_STREQ(p.LocalPath, "");
    EXPECT_STREQ(p.UserName, "anonymous");
    ASSERT_NE(p.Password, nullptr);
    EXPECT_EQ(std::strlen(p.Password), 17u);
    EXPECT_NE(std::strchr(p.Password, '@'), nullptr);
    EXPECT_EQ(p.Connections, 1);
    EXPECT_EQ(p.SpeedLimit, 0);
    EXPECT_EQ(p.ConnectTimeout, 20000);
    EXPECT_EQ(p.SendTimeout, 20000);
    EXPECT_EQ(p.ReceiveTimeout, 20000);
    EXPECT_EQ(p.StopWait, 1000);
    EXPECT_EQ(p.BlockSize, 20480);
    EXPECT_EQ(p.UploadBlockSize, 1024);
    EXPECT_EQ(p.LogCallback, nullptr);
    EXPECT_EQ(p.EventCallback, nullptr);
    EXPECT_STREQ(p.UploadOption, "");
    EXPECT_EQ(p.FtpTransferType, 1);
    EXPECT_STREQ(p.BinaryExtensions, ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm");
    EXPECT_EQ(p.ProxyServer, nullptr);
    EXPECT_EQ(p.Referer, nullptr);
    ReleaseApplication();
    EXPECT_EQ(App().UpdateTask, nullptr);
}

TEST(TaskParam, StoringATextReplacesTheOldOne) {
    TaskRecord r;
    r.SetText(TaskRecord::Url, "http://a.example/x");
    EXPECT_STREQ(r.Param().Url, "http://a.example/x");
    r.SetText(TaskRecord::Url, std::string(1000, 'y'));
    EXPECT_EQ(std::strlen(r.Param().Url), 1000u);
    r.SetText(TaskRecord::Url, std::nullopt);
    EXPECT_EQ(r.Param().Url, nullptr);
}

}  // namespace
}  // namespace mj
