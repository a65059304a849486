// CObject: the root of serialisable classes.
#pragma once

class CArchive;

class CObject {
public:
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& /*ar*/) {}
};
