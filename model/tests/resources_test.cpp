// The resource pool and the assignments of tasks.
#include <gtest/gtest.h>

#include <memory>

#include "automation/date_time.h"
#include "model/tests/recording_sinks.h"

namespace qmx::test {
namespace {

using Lines = std::vector<std::string>;

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { FixToday(45355.0); }
    void TearDown() override { UnfixToday(); }

    ComPtr<ITaskResource> Assign(LONG taskId, IResource* resource, HRESULT expected = S_OK)
    {
        ComPtr<ITaskResources> list;
        ComPtr<ITaskResource> assignment;
        owner.Task(taskId)->get_Resources(list.ReleaseAndGetAddressOf());
        EXPECT_EQ(expected, list->Add(resource, assignment.ReleaseAndGetAddressOf()));
        return assignment;
    }
    LONG AssignmentCount(ITask* task)
    {
        ComPtr<ITaskResources> list;
        LONG count = -1;
        if (SUCCEEDED(task->get_Resources(list.ReleaseAndGetAddressOf()))) list->get_Count(&count);
        return count;
    }

    RecordingOwner owner;
};

TEST_F(ResourcesTest, IdsAndOrder)
{
    IResources* pool = owner.Pool();
    ComPtr<IResource> r;
    ASSERT_EQ(S_OK, pool->Add(u"one", r.ReleaseAndGetAddressOf()));
    EXPECT_EQ(Lines({"resource changed 1 one", "resource added 1 one"}), owner.Take());
    ASSERT_EQ(S_OK, pool->Add(u"two", r.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, pool->AddWithID(5, u"five", r.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, pool->Add(u"six", r.ReleaseAndGetAddressOf()));
    LONG id = 0;
    r->get_ID(&id);
    EXPECT_EQ(6, id);
    EXPECT_EQ(E_FAIL, pool->AddWithID(5, u"again", r.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, pool->AddWithID(3, u"three", r.ReleaseAndGetAddressOf()));
    ComPtr<IResource> third;
    ASSERT_EQ(S_OK, pool->get_Resources(2, third.ReleaseAndGetAddressOf()));
    EXPECT_EQ(r.Get(), third.Get());
    EXPECT_EQ(E_INVALIDARG, pool->get_Resources(5, third.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_INVALIDARG, pool->GetResourceByID(4, third.ReleaseAndGetAddressOf()));
    VARIANT_BOOL exists = VARIANT_FALSE;
    pool->ResourceIDExists(6, &exists);
    EXPECT_EQ(VARIANT_TRUE, exists);
    ComPtr<IResources> back;
    ASSERT_EQ(S_OK, r->get_Resources(back.ReleaseAndGetAddressOf()));
    EXPECT_EQ(pool, back.Get());
}

TEST_F(ResourcesTest, DeletingAResourceUnassignsItInTreeOrder)
{
    owner.Add(0, "a");  // 1
    owner.Add(0, "b");  // 2
    owner.Add(1, "c");  // 3: under a, so before b in tree order
    auto r = owner.AddResource("r");
    auto other = owner.AddResource("other");
    for (LONG task : {2, 3, 1}) Assign(task, r.Get());
    Assign(2, other.Get());
    owner.Take();

    ASSERT_EQ(S_OK, owner.Pool()->Delete(1));
    EXPECT_EQ(Lines({"resource deleted 1 r", "unassigned task 1 resource 1 units 100 fire",
                     "unassigned task 3 resource 1 units 100 fire", "unassigned task 2 resource 1 units 100 fire"}),
              owner.Take());
    LONG id = 0;
    r->get_ID(&id);
    EXPECT_EQ(-1, id);
    EXPECT_EQ(S_FALSE, owner.Pool()->Delete(1));
    EXPECT_EQ(0, AssignmentCount(owner.Task(1).Get()));
    EXPECT_EQ(1, AssignmentCount(owner.Task(2).Get()));
    // A held, deleted resource cannot be assigned again.
    Assign(1, r.Get(), E_FAIL);
}

TEST_F(ResourcesTest, TaskListsRemoveWithoutFiring)
{
    auto t = owner.Add(0, "t");
    auto r = owner.AddResource("r");
    auto s = owner.AddResource("s");
    auto first = Assign(1, r.Get());
    Assign(1, s.Get());
    Assign(1, r.Get(), E_FAIL);  // once per resource
    owner.Take();

    EXPECT_EQ(S_OK, first->put_Units(250));
    EXPECT_EQ(S_OK, first->put_Units(250));  // reported even unchanged
    EXPECT_EQ(E_INVALIDARG, first->put_Units(-1));
    LONG units = 0;
    first->get_Units(&units);
    EXPECT_EQ(250, units);

    ComPtr<ITaskResources> list;
    t->get_Resources(list.ReleaseAndGetAddressOf());
    EXPECT_EQ(S_FALSE, list->Delete(9));
    EXPECT_EQ(S_OK, list->Delete(1));
    EXPECT_EQ(Lines({"units task 1 resource 1 units 250", "units task 1 resource 1 units 250",
                     "unassigned task 1 resource 1 units 250"}),
              owner.Take());
    // The removed assignment no longer holds its resource.
    ComPtr<IResource> resource;
    EXPECT_EQ(E_FAIL, first->get_Resource(resource.ReleaseAndGetAddressOf()));
    EXPECT_EQ(nullptr, resource.Get());
    EXPECT_EQ(E_FAIL, first->put_Units(5));

    Assign(1, r.Get());
    owner.Take();
    EXPECT_EQ(S_OK, list->DeleteAllTaskResources());
    EXPECT_EQ(Lines({"unassigned task 1 resource 1 units 100", "unassigned task 1 resource 2 units 100"}),
              owner.Take());
    EXPECT_EQ(0, AssignmentCount(t.Get()));
}

TEST_F(ResourcesTest, DeletedTasksKeepTheirAssignmentsOutOfTheWalk)
{
    auto t = owner.Add(0, "t");
    owner.Add(0, "u");
    auto r = owner.AddResource("r");
    auto held = Assign(1, r.Get());
    Assign(2, r.Get());
    ComPtr<ITaskResources> list;
    t->get_Resources(list.ReleaseAndGetAddressOf());
    ASSERT_EQ(S_OK, owner.Tree()->DeleteTask(1));
    owner.Take();
    ASSERT_EQ(S_OK, owner.Pool()->DeleteAllResources());
    EXPECT_EQ(Lines({"all resources deleted", "unassigned task 2 resource 1 units 100 fire"}), owner.Take());
    LONG count = -1;
    list->get_Count(&count);
    EXPECT_EQ(1, count);
    EXPECT_EQ(E_FAIL, list->DeleteAllTaskResources());
    ComPtr<IResource> resource;
    EXPECT_EQ(S_OK, held->get_Resource(resource.ReleaseAndGetAddressOf()));
    owner.Pool()->get_Count(&count);
    EXPECT_EQ(0, count);
}

// A held resource that left its pool, by Delete, by DeleteAllResources or
// because the model ended with it in the pool, answers as a deleted object,
// also once the model and its pool are gone.
TEST_F(ResourcesTest, HeldResourceOutlivesItsPool)
{
    enum class Leave { Delete, DeleteAll, ModelEnds };
    for (Leave leave : {Leave::Delete, Leave::DeleteAll, Leave::ModelEnds}) {
        SCOPED_TRACE(static_cast<int>(leave));
        auto model = std::make_unique<RecordingOwner>();
        ComPtr<IResource> held = model->AddResource("kept");
        if (leave == Leave::Delete) {
            ASSERT_EQ(S_OK, model->Pool()->Delete(1));
        } else if (leave == Leave::DeleteAll) {
            ASSERT_EQ(S_OK, model->Pool()->DeleteAllResources());
        }
        model->Take();
        if (leave != Leave::ModelEnds) {
            // Still inside a live model: refused without a notification.
            EXPECT_EQ(E_FAIL, held->put_Name(u"renamed"));
            EXPECT_TRUE(model->Take().empty());
        }
        model.reset();

        LONG id = 0;
        EXPECT_EQ(S_OK, held->get_ID(&id));
        EXPECT_EQ(-1, id);
        BSTR name;
        EXPECT_EQ(S_OK, held->get_Name(&name));
        EXPECT_EQ(u"kept", name);
        EXPECT_EQ(E_FAIL, held->put_Name(u"late"));
        ComPtr<IResources> pool;
        EXPECT_EQ(E_FAIL, held->get_Resources(pool.ReleaseAndGetAddressOf()));
        EXPECT_EQ(nullptr, pool.Get());
    }
}

}  // namespace
}  // namespace qmx::test
