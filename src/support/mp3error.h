#pragma once

// Result code of every file and stream operation of the tag library and the MPEG analysis.
// The order of the values is fixed: callers and stored results compare them as numbers.
enum TMP3Error {
    MP3ERR_None,           // success
    MP3ERR_NoFile,         // no file of that name
    MP3ERR_FOpenCrt,       // a file could not be created
    MP3ERR_FOpenR,         // a file could not be opened or read
    MP3ERR_FOpenRW,        // a file could not be opened for reading and writing
    MP3ERR_FOpenW,         // never produced
    MP3ERR_SRead,          // a stream read failed or fell short
    MP3ERR_SWrite,         // a stream write fell short
    ID3ERR_Cache,          // caching the audio while rewriting a file failed
    ID3ERR_NoTag,          // no tag present
    ID3ERR_Invalid_Header, // invalid tag header
    ID3ERR_Compression,    // compressed tag
    ID3ERR_Unclassified,   // any other error
    MPEGERR_NoFrame        // no MPEG audio frame found
};
