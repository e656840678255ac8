#pragma once

#include "settings/CRegisterAccess.h"

// A set of settings kept under one registry key. Callers change the values, set the modified
// flag and call Save(); Save() writes nothing while the flag is clear and leaves it set.
class CProfileBase : public CRegisterAccess {
public:
    using CRegisterAccess::CRegisterAccess;

    virtual void Save() = 0;
    virtual void Load() = 0;
    virtual void Defaults() = 0;

    bool isModified() const { return m_modified; }
    void setModified(bool modified = true) { m_modified = modified; }

private:
    bool m_modified = false;
};
