#include "ParameterChanges.h"

#include <gtest/gtest.h>

using namespace Steinberg;

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
    EXPECT_EQ(queue.addPoint(1, 0.4, index), kResultOk);  // a replacement still fits
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
    EXPECT_EQ(changes.addParameterData(9, index), nullptr);  // out of queues
    EXPECT_FALSE(changes.add(9, 0, 0.1));

    changes.clear();
    EXPECT_EQ(changes.getParameterCount(), 0);
    Vst::IParamValueQueue* reused = changes.addParameterData(9, index);
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(reused->getParameterId(), 9u);
    EXPECT_EQ(reused->getPointCount(), 0);
}
