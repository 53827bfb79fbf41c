// Each case runs on a thread of its own, so the suite's thread keeps its apartment.
#include <gtest/gtest.h>

#include <thread>

#include "ComApartment.h"

namespace {

// Joining the multithreaded apartment again only counts one more reference (S_FALSE).
bool InMultithreadedApartment() {
    const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(again)) CoUninitialize();
    return again == S_FALSE;
}

template <class Body>
void OnThreadOfItsOwn(Body body) {
    std::thread(body).join();
}

TEST(ComApartment, UndoesOnlyTheInitialisationItMade) {
    OnThreadOfItsOwn([] {
        // A thread already in the other apartment stays in it.
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            const ComApartment singleThreaded;
            EXPECT_FALSE(singleThreaded.Initialized());
        }
        EXPECT_TRUE(InMultithreadedApartment());
        CoUninitialize();
    });
    OnThreadOfItsOwn([] {
        // What the scope initialised ends with it.
        {
            const ComApartment multithreaded(COINIT_MULTITHREADED);
            EXPECT_TRUE(multithreaded.Initialized());
            EXPECT_TRUE(InMultithreadedApartment());
        }
        EXPECT_FALSE(InMultithreadedApartment());
    });
}

}  // namespace
