// CGlobalParameterDataClient: told when a conversion parameter gets a new value.
#pragma once

class CGlobalParameterDataClient {
public:
    virtual ~CGlobalParameterDataClient() = default;
    virtual void OnGlobalParameterChanged() {}
};
