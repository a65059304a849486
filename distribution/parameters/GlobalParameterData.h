// CGlobalParameterData: one named conversion parameter of a drive. It reads the
// registers it needs through its drive's synchronised query table, may depend
// on other parameters of the same drive, computes one value and tells its
// clients when the value becomes known or changes.
#pragma once

#include "distribution/parameters/GlobalParameterDataClient.h"
#include "distribution/SynchronizedQueryResponseClient.h"
#include "platform/core/List.h"
#include "platform/core/String.h"

class CGlobalAmpParameterTable;

// Keys under which parameters register their drive reads; an MDL word n is
// kKeyMdl + n.
enum GlobalParameterRegisterKey : int {
    kKeyEtf = 1,
    kKeyFr,
    kKeyGvs,
    kKeyAas,
    kKeyTsc,
    kKeyCs,
    kKeyMc,
    kKeyPwm,
    kKeyGvf,
    kKeyMod,
    kKeyVer,
    kKeyWft,
    kKeyFpn,
    kKeyPfm,
    kKeyXcb1,
    kKeyMdl = 100,
};

class CGlobalParameterData : public CSynchronizedQueryResponseClient, public CGlobalParameterDataClient {
public:
    CGlobalParameterData() = default;
    ~CGlobalParameterData() override = default;

    // An answer to one of its reads, or a new value of a parameter it uses.
    void OnSyncResponse(int key) override;
    void OnGlobalParameterChanged() override;
    // Registers the reads and dependencies; false while a dependency is missing.
    virtual bool SetUpQueries() = 0;
    // False while an answer or a dependency's value is missing.
    virtual bool Compute(double& value) = 0;

    // The value when valid; otherwise asks for it and answers false.
    bool GetValue(double& out);
    bool IsValid() const;
    void RequestQuery(bool on);

    void SetIdentity(int id, const CString& name);
    int GetId() const { return m_id; }
    CString GetName() const { return m_name; }
    void SetTable(CGlobalAmpParameterTable* table) { m_table = table; }

    bool AddClient(CGlobalParameterDataClient* client);
    bool RemoveClient(CGlobalParameterDataClient* client);

    // The drive table's cycle for this parameter: compute when something
    // changed or a value is wanted, and set up reads when asked to.
    void RunCycleStep();
    // Something for the next cycle to do: a change to compute, a value wanted
    // that is not there yet, reads to set up.
    bool NeedsCycle() const;

protected:
    // Registers the read behind a key unless it is registered already.
    bool Need(int key);
    bool Read(int key, double& out) const;
    bool ReadBits(int key, LONG& out) const;
    bool IsNeeded(int key) const { return HasSyncQuery(key); }
    // A read that the formula needs only in some cases: asks for it when it
    // is not registered yet.
    bool ReadConditional(int key, double& out);
    bool DependOn(int id);
    bool ValueOf(int id, double& out);

private:
    void NotifyClients();
    bool TakeFlag(int& flag);
    void WakeTable();

    int m_id = -1;
    CString m_name;
    CGlobalAmpParameterTable* m_table = nullptr;

    mutable CMutex m_valueLock;
    double m_value = 0.0;
    int m_valid = 0;
    mutable CMutex m_requestLock;
    int m_recomputeRequest = 0;
    int m_requeryRequest = 0;
    mutable CMutex m_dependencyLock;
    int m_dependencyChanged = 0;
    mutable CMutex m_clientLock;
    CList<CGlobalParameterDataClient*, CGlobalParameterDataClient*> m_clients;
};

// A division whose divisor is 0 gives 0, as the drive's own gain formulas do,
// so no parameter ever holds an infinity.
double SafeDivide(double numerator, double denominator);
