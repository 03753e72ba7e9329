#include "settings/ini_text_store.h"

const IniDocument& IniTextStore::Document() const {
    if (!document_) document_.emplace(text_);
    return *document_;
}

int32_t IniTextStore::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    return ReadDocumentInt(&Document(), section, key, byDefault);
}

size_t IniTextStore::ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                                size_t capacity) const {
    return ReadDocumentString(&Document(), section, key, byDefault, buffer, capacity);
}

bool IniTextStore::WriteString(const char* section, const char* key, const char* value) {
    text_ = SetIniValue(text_, section, key, value);
    document_.reset();
    return true;
}
