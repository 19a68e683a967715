// Connection points: order, re-entrancy and unadvising while firing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "automation/com_object.h"
#include "automation/event_source.h"

namespace {

struct _ITestEvents : IUnknown {
    QMX_INTERFACE_ID("{5A5A5A5A-0000-4000-8000-000000000001}");
    virtual HRESULT Happened(LONG value) = 0;
};

using Source = qmx::EventSource<_ITestEvents>;

class RecordingSink final : public qmx::ComObject<_ITestEvents> {
public:
    RecordingSink(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
    ~RecordingSink() override { log_->push_back("~" + name_); }
    HRESULT Happened(LONG value) override
    {
        log_->push_back(name_ + std::to_string(value));
        if (onEvent) onEvent(value);
        return S_OK;
    }
    std::function<void(LONG)> onEvent;

private:
    std::string name_;
    std::vector<std::string>* log_;
};

struct Fixture {
    std::vector<std::string> log;
    Source source;
    qmx::ComPtr<RecordingSink> sinks[3];
    DWORD cookies[3] = {};

    Fixture()
    {
        for (int i = 0; i < 3; ++i) {
            sinks[i] = qmx::MakeObject<RecordingSink>(std::string(1, char('a' + i)), &log);
            EXPECT_EQ(source.Advise(sinks[i].Get(), &cookies[i]), S_OK);
        }
    }
    void Fire(LONG value)
    {
        source.Fire([&](_ITestEvents* sink) { sink->Happened(value); });
    }
};

TEST(EventSource, FiresInConnectionOrderAndUnadvisesByCookie)
{
    Fixture f;
    EXPECT_NE(f.cookies[0], f.cookies[1]);
    f.Fire(1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a1", "b1", "c1"}));
    EXPECT_EQ(f.source.Unadvise(f.cookies[1]), S_OK);
    EXPECT_EQ(f.source.Unadvise(f.cookies[1]), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(f.source.Unadvise(12345), CONNECT_E_NOCONNECTION);
    f.log.clear();
    f.Fire(2);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a2", "c2"}));
    DWORD unused;
    EXPECT_EQ(f.source.Advise(nullptr, &unused), E_POINTER);
}

TEST(EventSource, SinkMayUnadviseItselfOrOthersWhileFiring)
{
    Fixture f;
    // a drops itself and c; b must still hear the event, c must not.
    f.sinks[0]->onEvent = [&](LONG) {
        f.source.Unadvise(f.cookies[0]);
        f.source.Unadvise(f.cookies[2]);
    };
    f.Fire(1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a1", "b1"}));
    EXPECT_EQ(f.source.Count(), 1u);
}

TEST(EventSource, UnadvisedSinkSurvivesUntilItsCallReturns)
{
    Fixture f;
    RecordingSink* a = f.sinks[0].Get();
    f.sinks[0].Reset();  // the source holds the only reference now
    a->onEvent = [&](LONG) {
        f.source.Unadvise(f.cookies[0]);
        f.log.push_back("after-unadvise");  // a must still be alive here
    };
    f.Fire(1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a1", "after-unadvise", "~a", "b1", "c1"}));
}

TEST(EventSource, ReentrantFiringAndAdviseDuringFiring)
{
    Fixture f;
    qmx::ComPtr<RecordingSink> late = qmx::MakeObject<RecordingSink>("d", &f.log);
    f.sinks[1]->onEvent = [&](LONG value) {
        if (value == 1) {
            DWORD cookie;
            f.source.Advise(late.Get(), &cookie);
            f.Fire(2);  // nested event reaches everyone connected now
        }
    };
    f.Fire(1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a1", "b1", "a2", "b2", "c2", "d2", "c1"}));
}

TEST(EventSource, SinksAdvisedAfterUnadviseAllWhileFiringHearOnlyTheNextEvent)
{
    Fixture f;
    qmx::ComPtr<RecordingSink> late = qmx::MakeObject<RecordingSink>("d", &f.log);
    qmx::ComPtr<RecordingSink> later = qmx::MakeObject<RecordingSink>("e", &f.log);
    f.sinks[0]->onEvent = [&](LONG value) {
        if (value != 1) return;
        f.source.UnadviseAll();
        DWORD cookie;
        f.source.Advise(late.Get(), &cookie);
        f.source.Advise(later.Get(), &cookie);
    };
    f.Fire(1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"a1"}));
    EXPECT_EQ(f.source.Count(), 2u);
    f.log.clear();
    f.Fire(2);
    EXPECT_EQ(f.log, (std::vector<std::string>{"d2", "e2"}));
}

}  // namespace
