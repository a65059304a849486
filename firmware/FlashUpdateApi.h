/* The entry points of a flash-update library, as the programmer calls them.
 * Our own simulated library and a vendor's library both export them with C
 * linkage; the programmer finds them by name at run time. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef void* PRG_HANDLE;
typedef void* COFFR_FILE_HANDLE;

/* Status values of PRG_INTERFACE::GetStatus. */
enum { PRG_STATUS_DONE = 0, PRG_STATUS_BUSY = 2 };
/* The report kinds of the report callback. */
enum {
    PRG_REPORT_ACTION = 1,
    PRG_REPORT_STATUS = 2,
    PRG_REPORT_BEGIN_PROGRESS = 3,
    PRG_REPORT_PROGRESS = 4,
    PRG_REPORT_ERROR = 5,
    PRG_REPORT_DEBUG = 6
};
/* COFFR_IsLoadSection's answer for a section that is not loaded. */
enum { COFFR_NOT_LOAD_SECTION = -106 };

/* Both callbacks may come on any thread of the library. */
typedef void (*PRG_TEXT_CALLBACK)(PRG_HANDLE handle, const char* text);
typedef void (*PRG_REPORT_CALLBACK)(PRG_HANDLE handle, int kind, int value, const char* text);

/* Every entry takes the programming handle first. Lengths are in 16-bit words. */
typedef struct PRG_INTERFACE {
    void* reserved[8];
    int (*Open)(PRG_HANDLE* handle);                                          /* 8: 0 is success */
    int (*Configure)(PRG_HANDLE handle, const char* settings);                /* 9: 0 is success */
    int (*GetStatus)(PRG_HANDLE handle);                                      /* 10 */
    int (*StartKernelLoad)(PRG_HANDLE handle);                                /* 11: 1 fails */
    int (*Close)(PRG_HANDLE handle);                                          /* 12 */
    int (*SetTextCallback)(PRG_HANDLE handle, PRG_TEXT_CALLBACK callback);   /* 13: 0 is success */
    int (*Erase)(PRG_HANDLE handle);                                          /* 14: 0 fails */
    int (*ProgramBlock)(PRG_HANDLE handle, unsigned long address, unsigned int page, unsigned long length,
                        const void* buffer);                                  /* 15: 1 fails */
    void* reserved16;
    int (*VerifyBlock)(PRG_HANDLE handle, unsigned long address, unsigned int page, unsigned long length,
                       const void* buffer);                                   /* 17: 1 fails */
} PRG_INTERFACE;

typedef struct COFFR_FILE_HDR {
    unsigned short version;
    unsigned short sectionCount; /* sections are numbered from 1 */
    unsigned long timeStamp;
    unsigned long symbolTableOffset;
    unsigned long symbolCount;
    unsigned short optionalHeaderSize;
    unsigned short flags;
} COFFR_FILE_HDR;

typedef struct COFFR_OPT_HDR {
    unsigned long entryPoint;
} COFFR_OPT_HDR;

typedef struct COFFR_SECT_HDR {
    char name[9];
    unsigned long address;
    unsigned int page;
    unsigned long length;
    unsigned int flags;
} COFFR_SECT_HDR;

typedef int (*PRG_GET_INTERFACE)(PRG_INTERFACE** iface); /* 0 is success */
typedef int (*PRG_SET_REPORT_CALLBACK)(PRG_HANDLE handle, PRG_REPORT_CALLBACK callback);

typedef int (*COFFR_FILE_OPEN)(const char* path, COFFR_FILE_HANDLE* file); /* 0 is success */
typedef int (*COFFR_FILE_CLOSE)(COFFR_FILE_HANDLE file);
typedef int (*COFFR_GET_FILE_HDR)(COFFR_FILE_HANDLE file, COFFR_FILE_HDR* header);
typedef int (*COFFR_GET_OPTIONAL_HDR)(COFFR_FILE_HANDLE file, COFFR_OPT_HDR* header);
typedef int (*COFFR_GET_SECTION_HDR)(COFFR_FILE_HANDLE file, int section, COFFR_SECT_HDR* header);
typedef int (*COFFR_IS_LOAD_SECTION)(COFFR_FILE_HANDLE file, int section);
typedef int (*COFFR_FIND_MAX_LOAD_SECTION_SIZE)(COFFR_FILE_HANDLE file, unsigned long* words);
/* Copies the section's words into the buffer (its size in bytes). */
typedef int (*COFFR_GET_SECT_DATA)(COFFR_FILE_HANDLE file, int section, void* buffer, unsigned long bufferSize,
                                   unsigned long* address, unsigned int* page, unsigned long* length);
typedef int (*COFFR_LOAD_STRINGS)(COFFR_FILE_HANDLE file);
typedef int (*COFFR_GET_SYMBOL_TABLE_ENTRY)(COFFR_FILE_HANDLE file, unsigned long index, void* entry);
typedef int (*COFFR_GET_SYMBOL_NAME)(COFFR_FILE_HANDLE file, unsigned long index, char* name, int size);
typedef int (*COFFR_FIND_MAX_LNNO)(COFFR_FILE_HANDLE file, unsigned long* count);
typedef int (*COFFR_GET_SECT_LNNO)(COFFR_FILE_HANDLE file, int section, void* entries, unsigned long count);

#ifdef __cplusplus
}
#endif
