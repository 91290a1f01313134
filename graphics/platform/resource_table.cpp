#include "graphics/platform/resource_table.h"

#include <cctype>
#include <mutex>
#include <string>
#include <vector>

#include "graphics/platform/module_resource.h"

namespace gfx {
namespace {

// A name as stored: "#123" and MakeIntResource(123) both become the id 123.
struct ResourceKey {
    bool isId = false;
    uint32_t id = 0;
    std::string text;
};

ResourceKey MakeKey(const char* name) {
    ResourceKey key;
    if (IsIntResource(name)) {
        key.isId = true;
        key.id = IntResourceId(name);
        return key;
    }
    if (name[0] == '#' && name[1] != '\0') {
        uint32_t id = 0;
        const char* p = name + 1;
        while (*p >= '0' && *p <= '9' && id < 0x10000)
            id = id * 10 + static_cast<uint32_t>(*p++ - '0');
        if (*p == '\0' && id < 0x10000) {
            key.isId = true;
            key.id = id;
            return key;
        }
    }
    for (const char* p = name; *p; ++p) {
        key.text += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    }
    return key;
}

bool KeysEqual(const ResourceKey& a, const ResourceKey& b) {
    return a.isId == b.isId && (a.isId ? a.id == b.id : a.text == b.text);
}

struct Entry {
    ResourceKey name;
    ResourceKey type;
    const void* data;
    uint32_t size;
};

struct Table {
    std::mutex lock;
    std::vector<Entry> entries;
};

// Built on first use, so that registrations from static initialisers of any unit find it ready.
Table& GetTable() {
    static Table table;
    return table;
}

}  // namespace

void RegisterModuleResource(const char* name, const char* type, const void* data, uint32_t size) {
    if (name == nullptr || type == nullptr) return;
    Table& table = GetTable();
    std::lock_guard<std::mutex> guard(table.lock);
    Entry entry{MakeKey(name), MakeKey(type), data, size};
    for (Entry& e : table.entries) {
        if (KeysEqual(e.name, entry.name) && KeysEqual(e.type, entry.type)) {
            e = entry;
            return;
        }
    }
    table.entries.push_back(entry);
}

void UnregisterModuleResource(const char* name, const char* type) {
    if (name == nullptr || type == nullptr) return;
    ResourceKey n = MakeKey(name), t = MakeKey(type);
    Table& table = GetTable();
    std::lock_guard<std::mutex> guard(table.lock);
    for (auto it = table.entries.begin(); it != table.entries.end(); ++it) {
        if (KeysEqual(it->name, n) && KeysEqual(it->type, t)) {
            table.entries.erase(it);
            return;
        }
    }
}

bool FindRegisteredResource(const char* name, const char* type, const void** data, uint32_t* size) {
    if (name == nullptr || type == nullptr) return false;
    ResourceKey n = MakeKey(name), t = MakeKey(type);
    Table& table = GetTable();
    std::lock_guard<std::mutex> guard(table.lock);
    for (const Entry& e : table.entries) {
        if (KeysEqual(e.name, n) && KeysEqual(e.type, t)) {
            *data = e.data;
            *size = e.size;
            return true;
        }
    }
    return false;
}

}  // namespace gfx
