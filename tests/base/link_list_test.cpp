#include "base/link_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class LinkListTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitLinkList(&head_, &tail_), 0); }

    // Values from the front, checked against a walk from the back.
    std::vector<uint32_t> Values() {
        std::vector<uint32_t> forward, backward;
        for (LinkNode* n = head_.next; n != &tail_; n = n->next) forward.push_back(n->value);
        for (LinkNode* n = tail_.prev; n != &head_; n = n->prev) backward.insert(backward.begin(), n->value);
        EXPECT_EQ(forward, backward) << "prev and next links disagree";
        return forward;
    }

    LinkNode head_, tail_;
    LinkNode nodes_[3];
};

TEST_F(LinkListTest, InitLinksTheSentinels) {
    EXPECT_EQ(head_.value, 0xFFFFFFFFu);
    EXPECT_EQ(head_.owner, 0u);
    EXPECT_EQ(head_.prev, nullptr);
    EXPECT_EQ(head_.next, &tail_);
    EXPECT_EQ(tail_.value, 0xFFFFFFFFu);
    EXPECT_EQ(tail_.prev, &head_);
    EXPECT_EQ(tail_.next, nullptr);
    EXPECT_TRUE(Values().empty());
}

TEST_F(LinkListTest, AddInsertsAtTheFrontAndRemoveUnlinks) {
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(AddLinkListNode(&head_, &nodes_[i], 10 + i, 100 + i), 0);
    }
    EXPECT_EQ(Values(), (std::vector<uint32_t>{12, 11, 10}));
    EXPECT_EQ(nodes_[1].owner, 101u);

    EXPECT_EQ(RemoveLinkListNode(&nodes_[1]), 0);  // middle
    EXPECT_EQ(Values(), (std::vector<uint32_t>{12, 10}));
    EXPECT_EQ(RemoveLinkListNode(&nodes_[2]), 0);  // front
    EXPECT_EQ(Values(), (std::vector<uint32_t>{10}));
    EXPECT_EQ(RemoveLinkListNode(&nodes_[0]), 0);  // last
    EXPECT_TRUE(Values().empty());

    ASSERT_EQ(AddLinkListNode(&head_, &nodes_[1], 5, 0), 0);  // a removed node can come back
    EXPECT_EQ(Values(), (std::vector<uint32_t>{5}));
}

TEST_F(LinkListTest, RemovingAnUnlinkedNodeIsRefused) {
    AddLinkListNode(&head_, &nodes_[0], 1, 0);
    AddLinkListNode(&head_, &nodes_[1], 2, 0);
    ASSERT_EQ(RemoveLinkListNode(&nodes_[0]), 0);
    AddLinkListNode(&head_, &nodes_[2], 3, 0);
    // A second removal must not relink the old neighbours over the newer node.
    EXPECT_EQ(RemoveLinkListNode(&nodes_[0]), -1);
    EXPECT_EQ(Values(), (std::vector<uint32_t>{3, 2}));
    EXPECT_EQ(RemoveLinkListNode(&head_), -1);
    EXPECT_EQ(RemoveLinkListNode(&tail_), -1);
    EXPECT_EQ(Values(), (std::vector<uint32_t>{3, 2}));
}

}  // namespace
