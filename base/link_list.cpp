#include "base/link_list.h"

int InitLinkList(LinkNode* head, LinkNode* tail) {
    head->value = 0xFFFFFFFFu;
    head->owner = 0;
    head->prev = nullptr;
    head->next = tail;
    tail->value = 0xFFFFFFFFu;
    tail->owner = 0;
    tail->prev = head;
    tail->next = nullptr;
    return 0;
}

int AddLinkListNode(LinkNode* head, LinkNode* node, uint32_t value, uint32_t owner) {
    node->value = value;
    node->owner = owner;
    node->prev = head;
    node->next = head->next;
    head->next->prev = node;
    head->next = node;
    return 0;
}

int RemoveLinkListNode(LinkNode* node) {
    // A node between the sentinels has both neighbours; anything else is not ours to unlink.
    if (node->prev == nullptr || node->next == nullptr) return -1;
    node->prev->next = node->next;
    node->next->prev = node->prev;
    node->prev = nullptr;
    node->next = nullptr;
    return 0;
}
