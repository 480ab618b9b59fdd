// An intrusive doubly linked list. A list is two sentinel nodes that the caller provides: a
// head (value -1, owner 0, prev null) and a tail (value -1, owner 0, next null); the nodes of
// the list lie between them, the newest right behind the head.
#pragma once
#include <cstdint>

struct LinkNode {
    uint32_t value = 0;
    uint32_t owner = 0;
    LinkNode* prev = nullptr;
    LinkNode* next = nullptr;
};

// Links the two sentinels into an empty list. Returns 0.
int InitLinkList(LinkNode* head, LinkNode* tail);
// Inserts node right behind head with the given value and owner. Returns 0.
int AddLinkListNode(LinkNode* head, LinkNode* node, uint32_t value, uint32_t owner);
// Unlinks node and clears its links. Returns 0; -1 for a node that is not linked (already
// removed, never added, or a sentinel), which is left as it is.
int RemoveLinkListNode(LinkNode* node);
