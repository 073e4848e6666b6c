#include "ByteStream.h"
#include "ComponentHandler.h"
#include "HostContext.h"
#include "VstText.h"

#include <gtest/gtest.h>

#include "pluginterfaces/base/smartpointer.h"

#include <cstring>

using namespace Steinberg;
using vsthost::ByteStream;
using vsthost::ComponentHandler;
using vsthost::HostContext;

namespace {
// Tells when the last reference goes.
template <class Base>
class Watched : public Base {
public:
    template <class... Args>
    Watched(bool& gone, Args&&... args) : Base(std::forward<Args>(args)...),
                                          gone_(gone)
    {
    }
    ~Watched() override { gone_ = true; }

private:
    bool& gone_;
};
}   // namespace

TEST(HostContext, NamesTheHostAndOffersNothingElse)
{
    IPtr<HostContext> host = owned(new HostContext("Render Höst"));
    Vst::String128 name;
    EXPECT_EQ(host->getName(name), kResultOk);
    EXPECT_EQ(vsthost::VstText::toUtf8(name, 128), "Render Höst");
    EXPECT_EQ(host->nameQueries(), 1);
    EXPECT_EQ(host->getName(nullptr), kInvalidArgument);

    void* obj = host.get();
    TUID any = {};
    EXPECT_EQ(host->createInstance(any, any, &obj), kResultFalse);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(host->queryInterface(Vst::IHostApplication::iid, &obj), kResultOk);
    EXPECT_EQ(obj, static_cast<Vst::IHostApplication*>(host.get()));
    EXPECT_EQ(host->refCount(), 2u);
    EXPECT_EQ(host->release(), 1u);
}

TEST(HostContext, WithoutTheApplicationOnlyFUnknownAnswers)
{
    IPtr<HostContext> bare = owned(new HostContext("bare", false));
    void* obj = nullptr;
    EXPECT_EQ(bare->queryInterface(Vst::IHostApplication::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(bare->queryInterface(FUnknown::iid, &obj), kResultOk);
    EXPECT_NE(obj, nullptr);
    EXPECT_EQ(bare->refCount(), 2u);
    EXPECT_EQ(bare->release(), 1u);
}

TEST(HostObjects, TheLastReleaseDeletesWhatTheHostMadeOnTheHeap)
{
    bool contextGone = false;
    bool handlerGone = false;
    bool streamGone = false;
    auto* context = new Watched<HostContext>(contextGone, "host");
    auto* handler = new Watched<ComponentHandler>(handlerGone);
    auto* stream = new Watched<ByteStream>(streamGone);
    context->addRef();
    EXPECT_EQ(context->release(), 1u);
    EXPECT_FALSE(contextGone);
    EXPECT_EQ(context->release(), 0u);
    EXPECT_EQ(handler->release(), 0u);
    EXPECT_EQ(stream->release(), 0u);
    EXPECT_TRUE(contextGone);
    EXPECT_TRUE(handlerGone);
    EXPECT_TRUE(streamGone);
}

TEST(ComponentHandler, CountsEditsAndGathersRestartFlags)
{
    ComponentHandler handler;
    EXPECT_EQ(handler.beginEdit(3), kResultOk);
    EXPECT_EQ(handler.performEdit(3, 0.25), kResultOk);
    EXPECT_EQ(handler.performEdit(3, 0.5), kResultOk);
    EXPECT_EQ(handler.endEdit(3), kResultOk);
    EXPECT_EQ(handler.restartComponent(Vst::kParamValuesChanged), kResultOk);
    EXPECT_EQ(handler.restartComponent(Vst::kLatencyChanged), kResultOk);
    EXPECT_EQ(handler.editCount(), 2);
    EXPECT_EQ(handler.restartFlags(), Vst::kParamValuesChanged | Vst::kLatencyChanged);
    void* obj = nullptr;
    EXPECT_EQ(handler.queryInterface(Vst::IComponentHandler::iid, &obj), kResultOk);
    EXPECT_EQ(handler.refCount(), 2u);
}

TEST(ByteStream, WritesReadsAndSeeksLikeAHostStream)
{
    ByteStream stream;
    char text[] = "state";
    int32 n = -1;
    EXPECT_EQ(stream.write(text, 5, &n), kResultOk);
    EXPECT_EQ(n, 5);
    int64 at = -1;
    EXPECT_EQ(stream.seek(1, IBStream::kIBSeekSet, &at), kResultOk);
    EXPECT_EQ(at, 1);
    char back[8] = {};
    EXPECT_EQ(stream.read(back, 8, &n), kResultOk);
    EXPECT_EQ(n, 4);
    EXPECT_STREQ(back, "tate");
    // At the end a read delivers nothing and says so by its count.
    EXPECT_EQ(stream.read(back, 8, &n), kResultOk);
    EXPECT_EQ(n, 0);

    // Writing past the end fills the gap with zeros.
    EXPECT_EQ(stream.seek(2, IBStream::kIBSeekEnd, nullptr), kResultOk);
    EXPECT_EQ(stream.write(text, 1, nullptr), kResultOk);
    ASSERT_EQ(stream.bytes().size(), 8u);
    EXPECT_EQ(stream.bytes()[5], 0);
    EXPECT_EQ(stream.bytes()[7], 's');
    EXPECT_EQ(stream.tell(&at), kResultOk);
    EXPECT_EQ(at, 8);

    EXPECT_EQ(stream.seek(-9, IBStream::kIBSeekCur, nullptr), kResultFalse);
    EXPECT_EQ(stream.seek(0, 7, nullptr), kInvalidArgument);
    EXPECT_EQ(stream.read(nullptr, 1, &n), kInvalidArgument);
    EXPECT_EQ(stream.write(text, -1, &n), kInvalidArgument);
    EXPECT_EQ(stream.tell(nullptr), kInvalidArgument);
}

TEST(ByteStream, ReadsTheBytesItWasGiven)
{
    ByteStream stream({1, 2, 3});
    uint8_t back[3] = {};
    int32 n = 0;
    EXPECT_EQ(stream.read(back, 3, &n), kResultOk);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(back[2], 3);
    EXPECT_EQ(stream.position(), 3u);
    stream.rewind();
    EXPECT_EQ(stream.position(), 0u);
}
