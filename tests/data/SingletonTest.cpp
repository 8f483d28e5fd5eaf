#include "data/ListenerHolder.h"
#include "data/Singleton.h"

#include <gtest/gtest.h>

namespace
{
struct Counter : Singleton<Counter>
{
    static inline int constructed = 0;
    Counter() { ++constructed; }
};

struct Observer
{
    int calls = 0;
};

struct Holder : ListenerHolder<Observer>
{
    void deliver()
    {
        callListeners([](Observer& o) { ++o.calls; });
    }
};
} // namespace

TEST(Singleton, CreatedOnceOnFirstUseAndForgottenWhenDeleted)
{
    EXPECT_EQ(Counter::getInstanceWithoutCreating(), nullptr);
    auto* first = Counter::getInstance();
    EXPECT_EQ(Counter::getInstance(), first);
    EXPECT_EQ(Counter::constructed, 1);
    delete first;
    EXPECT_EQ(Counter::getInstanceWithoutCreating(), nullptr);
}

TEST(ListenerHolder, DuplicatesAreCalledTwiceAndRemoveErasesOne)
{
    Holder holder;
    Observer a, b;
    holder.addListener(&a);
    holder.addListener(&b);
    holder.addListener(&a);
    holder.deliver();
    EXPECT_EQ(a.calls, 2);
    EXPECT_EQ(b.calls, 1);

    holder.removeListener(&a);
    holder.removeListener(&b);
    holder.removeListener(&b); // absent: nothing happens
    holder.deliver();
    EXPECT_EQ(a.calls, 3);
    EXPECT_EQ(b.calls, 1);
}
