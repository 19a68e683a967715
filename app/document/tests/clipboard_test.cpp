// Cut, copy and paste through the clipboard, and the clipboard blocks that
// must be refused.
#include "app/document/tests/app_object_fixture.h"

#include "app/document/clipboard_format.h"

namespace qmx::testing {
namespace {

TEST(ClipboardFormat, DamagedBlocksAreRefused)
{
    TaskRecord record;
    record.id = 7;
    record.name = u"T\u00e4sk";
    record.start = 45000.0;
    record.end = 45002.0;
    record.duration = 2.5f;
    record.milestone = VARIANT_TRUE;
    record.color = 0x00FF00;
    const std::string block = EncodeTasks({record});
    // ID, name (4 + 8), priority, two dates, duration, unit, percent, milestone,
    // notes, URL, colour, parent, the closing -1.
    EXPECT_EQ(block.size(), 4u + 12 + 4 + 16 + 4 + 4 + 4 + 2 + 4 + 4 + 4 + 4 + 4);
    const auto decoded = DecodeTasks(block);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), 1u);
    EXPECT_EQ((*decoded)[0].name, record.name);
    EXPECT_EQ((*decoded)[0].duration, 2.5f);
    EXPECT_EQ((*decoded)[0].end, 45002.0);

    std::string oddLength = block;
    oddLength[4] = 7;
    std::string hugeLength = block;
    hugeLength[7] = 0x7F;
    std::string negativeLength = block;
    negativeLength[7] = static_cast<char>(0x80);
    const std::string rows[] = {
        "",                                  // empty
        block.substr(0, block.size() - 4),   // no closing -1
        block.substr(0, 10),                 // cut inside the name
        oddLength, hugeLength, negativeLength,
    };
    for (const std::string& row : rows) EXPECT_FALSE(DecodeTasks(row)) << row.size();
    EXPECT_FALSE(DecodeResource(std::string("\x01\x00\x00\x00\x05\x00\x00\x00", 8)));
}

class Clipboard : public AppObjectTest {
protected:
    void SetUp() override
    {
        AppObjectTest::SetUp();
        OpenPlan();
    }
};

TEST_F(Clipboard, CopiedSubtreesPasteUnderTheCaretWithNewIds)
{
    ComPtr<ITask> a = control_->Add(0, "a");    // 2
    ComPtr<ITask> a1 = control_->Add(2, "a1");  // 3
    ComPtr<ITask> a2 = control_->Add(2, "a2");  // 4
    ComPtr<ITask> a11 = control_->Add(3, "a11");  // 5
    ComPtr<ITaskAppearance> appearance;
    a1->get_Appearance(appearance.ReleaseAndGetAddressOf());
    appearance->put_Color(RGB(1, 2, 3));
    a1->put_Notes(u"note");
    control_->Select({a.Get(), a11.Get()});  // a11 goes with a
    EXPECT_TRUE(Enabled(57634));
    EXPECT_FALSE(Enabled(57637));
    EXPECT_EQ(commands_->Execute(Op(57634)), S_OK);
    EXPECT_TRUE(Enabled(57637));
    Journal().clear();

    ComPtr<ITask> b = control_->Add(0, "b");  // 6
    control_->Select({b.Get()});
    EXPECT_EQ(commands_->Execute(Op(57637)), S_OK);
    // All IDs are taken: 7 to 10, in the copied order a, a1, a11, a2.
    Lines expected;
    for (int id = 7; id <= 10; ++id) {
        expected.push_back("TaskNew " + std::to_string(id));
        expected.push_back("TaskUpdate " + std::to_string(id));
    }
    Lines told;
    for (const std::string& line : JournalOf("A Task")) told.push_back(line.substr(2));
    // The model's own consequences may add TaskUpdate lines; the pasted
    // tasks' own lines come in this order.
    Lines own;
    for (const std::string& line : told)
        if (line != "TaskUpdate 6") own.push_back(line);
    EXPECT_EQ(own, expected);
    struct Row {
        LONG id;
        LONG parent;
        const char* name;
    };
    for (const Row& row : {Row{7, 6, "a"}, Row{8, 7, "a1"}, Row{9, 8, "a11"}, Row{10, 7, "a2"}}) {
        ComPtr<ITask> task;
        ComPtr<ITask> parent;
        ASSERT_EQ(control_->Tree()->GetTask(row.id, task.ReleaseAndGetAddressOf()), S_OK);
        task->get_ParentTask(parent.ReleaseAndGetAddressOf());
        LONG parentId = 0;
        parent->get_ID(&parentId);
        EXPECT_EQ(parentId, row.parent) << row.id;
        BSTR name;
        task->get_Name(&name);
        EXPECT_EQ(BstrToUtf8(name), row.name);
    }
    ComPtr<ITask> pasted;
    control_->Tree()->GetTask(8, pasted.ReleaseAndGetAddressOf());
    BSTR notes;
    pasted->get_Notes(&notes);
    EXPECT_EQ(notes, u"note");
    pasted->get_Appearance(appearance.ReleaseAndGetAddressOf());
    COLORREF color = 0;
    appearance->get_Color(&color);
    EXPECT_EQ(color, RGB(1, 2, 3));
}

TEST_F(Clipboard, CutKeepsIdsThatAreFreeAgain)
{
    ComPtr<ITask> a = control_->Add(0, "a");  // 2
    control_->Add(2, "a1");                   // 3
    control_->Select({a.Get()});
    Journal().clear();
    EXPECT_EQ(commands_->Execute(Op(57635)), S_OK);
    EXPECT_EQ(JournalOf("A TaskDelete"), Lines{"A TaskDelete 2"});
    control_->Select({});
    Journal().clear();
    EXPECT_EQ(commands_->Execute(Op(57637)), S_OK);
    EXPECT_EQ(JournalOf("A TaskNew"), (Lines{"A TaskNew 2", "A TaskNew 3"}));

    // A resource the same way.
    control_->view = gcResourcesView;
    ComPtr<IResource> resource;
    control_->Pool()->Add(u"Ann", resource.ReleaseAndGetAddressOf());
    control_->SelectResource(resource.Get());
    Journal().clear();
    EXPECT_EQ(commands_->Execute(Op(57635)), S_OK);
    EXPECT_TRUE(Enabled(57637));
    EXPECT_EQ(commands_->Execute(Op(57637)), S_OK);
    EXPECT_EQ(Journal(), (Lines{"A ResourceDelete 1", "A ResourceNew 1", "A ResourceUpdate 1"}));
}

}  // namespace
}  // namespace qmx::testing
