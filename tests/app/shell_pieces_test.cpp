#include <gtest/gtest.h>

#include "app/generic_singleton.h"
#include "app/virtual_keys.h"

namespace {

struct Counted {
    static inline int constructed = 0;
    static inline int destroyed = 0;
    Counted() { ++constructed; }
    ~Counted() { ++destroyed; }
};

TEST(GenericSingletonTest, CreatedOnFirstUseAndFreshAfterDestruction) {
    EXPECT_FALSE(GenericSingleton<Counted>::exists());
    Counted* first = GenericSingleton<Counted>::instance();
    EXPECT_EQ(GenericSingleton<Counted>::instance(), first);
    EXPECT_EQ(Counted::constructed, 1);
    GenericSingleton<Counted>::destroyInstance();
    EXPECT_EQ(Counted::destroyed, 1);
    EXPECT_FALSE(GenericSingleton<Counted>::exists());
    GenericSingleton<Counted>::destroyInstance();  // nothing to destroy
    EXPECT_EQ(Counted::destroyed, 1);
    GenericSingleton<Counted>::instance();
    EXPECT_EQ(Counted::constructed, 2);
    GenericSingleton<Counted>::destroyInstance();
}

TEST(VirtualKeysTest, LettersDigitsAndNamedKeys) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_a), 0x41);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_z), 0x5A);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_0), 0x30);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_9), 0x39);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_ESCAPE), 0x1B);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SPACE), 0x20);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F1), 0x70);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F12), 0x7B);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LEFT), 0x25);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_DOWN), 0x28);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_KP_0), 0x60);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_KP_9), 0x69);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RETURN), 0x0D);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_MINUS), 0xBD);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_AUDIOPLAY), 0) << "keys without a code are not reported";
}

}  // namespace
