// The form of a dialog's id list (resources/ids/<Dialog>Ids.h). Included by code,
// a list gives an enum of named ids; the dialog template loader includes every
// list once more with KV_IDS_TABLE defined and gets a name-to-number table, so a
// template writes the same names and a changed number changes both at once.
#ifndef KV_IDS_BEGIN
#if defined(KV_IDS_TABLE)
#define KV_IDS_BEGIN(list)
#define KV_ID(name, value) {#name, value},
#define KV_IDS_END
#else
#define KV_IDS_BEGIN(list) enum list : int {
#define KV_ID(name, value) name = value,
#define KV_IDS_END };
#endif
#endif
