// CDmQueryVar: a ready-made receiver that keeps the latest answer to one query,
// for windows that read one register and wait for its value.
#pragma once

#include "distribution/DistMngrResponseReceiver.h"

class CDmQueryVar : public CDistMngrResponseReceiver {
public:
    CDmQueryVar() = default;
    ~CDmQueryVar() override;

    CString GetReceiverName() const override { return m_name; }
    void OnResponse(const CAmpResponseToGui& response) override;

    bool Query(BYTE address, WORD code, WORD time, BYTE flags = 0);
    // A one-shot read with one argument that then follows the register's changes.
    bool QueryWithArgument(BYTE address, WORD code, WORD argumentCode, WORD argumentValue, WORD time);
    void Cancel();

    int HasResponse() const;
    int HasChanged(int reset);
    // False without an answer or when the answer carries an error.
    bool GetRawValue(LONG& out) const;
    // The value sign-extended from its width. With an error out the result is
    // whether an answer came; without one an answer with an error fails.
    bool GetValue(LONG& out, WORD* error = nullptr) const;

private:
    mutable CMutex m_lock;
    CAmpResponseToGui m_lastResponse;
    int m_hasResponse = 0;
    int m_changed = 0;
    int m_cancelling = 0;
    int m_queryId = -1;
    CString m_name = "QueryVar";
};
