// The list of every streaming sound's record, walked by the refill of each message-pump call.
// New records go in behind the head, so the walk from the tail meets them in the order added.
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"

void InitSoundStreamList() {
    SoundStreamList& list = GetSoundOutput().streams;
    InitLinkList(&list.head, &list.tail);
    list.started = 1;
}

void AddToSoundStreamList(SoundRecord* record, HandleValue handle) {
    SoundStreamList& list = GetSoundOutput().streams;
    if (!list.started) InitSoundStreamList();
    AddLinkListNode(&list.head, &record->streaming.node, static_cast<uint32_t>(handle), 0);
}

void RemoveFromSoundStreamList(SoundRecord* record) {
    if (record->streaming.node.prev != nullptr) RemoveLinkListNode(&record->streaming.node);
}

int RefillAllStreamSounds() {
    SoundStreamList& list = GetSoundOutput().streams;
    if (GetSoundOutput().device == nullptr || !list.started) return 0;
    for (LinkNode* node = list.tail.prev; node != nullptr && node != &list.head;) {
        LinkNode* const older = node->prev;
        RefillStreamSound(static_cast<HandleValue>(node->value));
        node = older;
    }
    return 0;
}
