// wxBase needs an application object before events can be queued. The console
// application that wxInitializer creates is enough: the tests then process the queue of
// each handler themselves, with no event loop and no display.
#include <gtest/gtest.h>
#include <wx/init.h>

#include <memory>

namespace {

class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_init = std::make_unique<wxInitializer>();
        ASSERT_TRUE(m_init->IsOk());
    }
    void TearDown() override { m_init.reset(); }

private:
    std::unique_ptr<wxInitializer> m_init;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace
