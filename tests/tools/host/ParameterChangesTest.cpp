#include "ParameterChanges.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using vsthost::ParameterChanges;
using vsthost::ParamValueQueue;

TEST(ParamValueQueue, KeepsPointsInOffsetOrderAndReplacesEqualOffsets)
{
    ParamValueQueue queue(4);
    queue.reset(7);
    int32 index = -1;
    EXPECT_EQ(queue.addPoint(100, 0.8, index), kResultOk);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(queue.addPoint(0, 0.2, index), kResultOk);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(queue.addPoint(100, 0.9, index), kResultOk);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(queue.getParameterId(), 7u);
    ASSERT_EQ(queue.getPointCount(), 2);

    int32 offset = -1;
    Vst::ParamValue value = -1;
    EXPECT_EQ(queue.getPoint(0, offset, value), kResultOk);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(value, 0.2);
    EXPECT_EQ(queue.getPoint(1, offset, value), kResultOk);
    EXPECT_EQ(offset, 100);
    EXPECT_EQ(value, 0.9);
    EXPECT_NE(queue.getPoint(2, offset, value), kResultOk);
    EXPECT_NE(queue.getPoint(-1, offset, value), kResultOk);
    EXPECT_NE(queue.addPoint(-5, 0.1, index), kResultOk);

    queue.reset(3);
    EXPECT_EQ(queue.getPointCount(), 0);
    EXPECT_EQ(queue.getParameterId(), 3u);
}

TEST(ParamValueQueue, RefusesPointsBeyondItsCapacity)
{
    ParamValueQueue queue(2);
    int32 index = 0;
    EXPECT_EQ(queue.addPoint(0, 0.1, index), kResultOk);
    EXPECT_EQ(queue.addPoint(1, 0.2, index), kResultOk);
    EXPECT_EQ(queue.addPoint(2, 0.3, index), kResultFalse);
    EXPECT_EQ(queue.addPoint(1, 0.4, index), kResultOk);   // a replacement still fits
    EXPECT_EQ(queue.getPointCount(), 2);
}

TEST(ParameterChanges, OneQueuePerParameter)
{
    ParameterChanges changes(2, 4);
    EXPECT_EQ(changes.getParameterCount(), 0);
    EXPECT_TRUE(changes.add(5, 0, 0.5));
    EXPECT_TRUE(changes.add(0x62706173, 0, 1.0));
    EXPECT_TRUE(changes.add(5, 10, 0.7));
    ASSERT_EQ(changes.getParameterCount(), 2);
    EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 5u);
    EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 2);
    EXPECT_EQ(changes.getParameterData(1)->getParameterId(), 0x62706173u);
    EXPECT_EQ(changes.getParameterData(2), nullptr);
    EXPECT_EQ(changes.getParameterData(-1), nullptr);

    int32 index = -1;
    EXPECT_EQ(changes.addParameterData(5, index), changes.getParameterData(0));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(changes.addParameterData(9, index), nullptr);   // out of queues
    EXPECT_FALSE(changes.add(9, 0, 0.1));

    changes.clear();
    EXPECT_EQ(changes.getParameterCount(), 0);
    Vst::IParamValueQueue* reused = changes.addParameterData(9, index);
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(reused->getParameterId(), 9u);
    EXPECT_EQ(reused->getPointCount(), 0);
}

TEST(ParameterChanges, AGrowableListTakesWhatATestHostSends)
{
    ParameterChanges changes(1, 1, true);
    ParamValueQueue* first = changes.addQueue(4);
    ASSERT_NE(first, nullptr);
    // Out of order and repeated offsets stay as sent.
    EXPECT_TRUE(first->append(50, 0.5));
    EXPECT_TRUE(first->append(10, 0.1));
    EXPECT_TRUE(first->append(10, 0.2));
    EXPECT_TRUE(changes.addNullSlot());
    ParamValueQueue* again = changes.addQueue(4);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);

    ASSERT_EQ(changes.getParameterCount(), 3);
    EXPECT_EQ(changes.getParameterData(0), first);
    EXPECT_EQ(changes.getParameterData(1), nullptr);
    EXPECT_EQ(changes.getParameterData(2), again);
    ASSERT_EQ(first->getPointCount(), 3);
    int32 offset = -1;
    Vst::ParamValue value = -1;
    EXPECT_EQ(first->getPoint(1, offset, value), kResultOk);
    EXPECT_EQ(offset, 10);
    EXPECT_EQ(value, 0.1);

    first->setUnreadable(true);
    EXPECT_NE(first->getPoint(0, offset, value), kResultOk);
    // A queue handed out again after clear() is readable and empty.
    changes.clear();
    ParamValueQueue* reused = changes.addQueue(6);
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(reused->getPointCount(), 0);
    EXPECT_TRUE(reused->append(0, 1.0));
    EXPECT_EQ(reused->getPoint(0, offset, value), kResultOk);
}

TEST(ParameterChanges, AFixedListCountsNullSlotsAndRefusesRawPointsBeyondCapacity)
{
    ParameterChanges changes(2, 1);
    EXPECT_TRUE(changes.addNullSlot());
    ParamValueQueue* queue = changes.addQueue(1);
    ASSERT_NE(queue, nullptr);
    EXPECT_FALSE(changes.addNullSlot());
    EXPECT_EQ(changes.addQueue(2), nullptr);
    EXPECT_TRUE(queue->append(3, 0.3));
    EXPECT_FALSE(queue->append(1, 0.1));
    // The null slot is passed over when the plug-in looks a parameter up.
    int32 index = -1;
    EXPECT_EQ(changes.addParameterData(1, index), queue);
    EXPECT_EQ(index, 1);
}
