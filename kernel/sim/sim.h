/*
 * Control side of the user-space kernel: boots a board with an SMBus adapter
 * and (optionally) a TLV320AIC31 on it, loads and unloads a module, reads its
 * proc entries, and shows what happened (kernel log, bus transfers, board
 * register writes, sleeps). Plain C, free of the kernel headers, so tools and
 * tests in either language can use it.
 */
#ifndef KERNEL_SIM_SIM_H
#define KERNEL_SIM_SIM_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Bus address of the codec and the board registers that drive its reset line. */
#define SIM_CODEC_ADDR 0x18
#define SIM_RESET_ASSERT_REG 0xB190010CUL
#define SIM_RESET_RELEASE_REG 0xB1900108UL
#define SIM_RESET_LINE 0x02u

struct sim_board {
	int codec_present;	/* a codec answers at SIM_CODEC_ADDR */
	int byte_data;		/* the adapter offers the byte and byte-data transfers */
};

/* Fresh kernel: adapter i2c-0, empty logs, codec in its power-on state. */
void sim_boot(const struct sim_board *board);
/* Unloads whatever is still loaded and frees the board. */
void sim_halt(void);

/* What goes to standard error as it happens. */
#define SIM_ECHO_KLOG 1
#define SIM_ECHO_TRACE 2
void sim_set_echo(int flags);

/* insmod: maps the module, applies "name=v,v,..." parameters (space separated,
 * may be NULL) and runs its init. Returns the init result, or a negative error
 * number if the module could not be mapped or a parameter is wrong. */
int sim_load_module(const char *path, const char *params);
/* rmmod: runs the module's exit and unmaps it. 0, or -ENOENT if none is loaded. */
int sim_unload_module(void);
int sim_module_loaded(void);

/* Exported symbols of the loaded module, looked up by name (NULL if absent). */
void (*sim_symbol(const char *name))(void);
size_t sim_symbol_count(void);
const char *sim_symbol_name(size_t index);
/* modinfo: tag "license", "description", or "parmdesc" with a parameter name. */
const char *sim_modinfo(const char *tag, const char *name);

/* Kernel log as printed, NUL-terminated. */
const char *sim_klog(void);
void sim_klog_clear(void);

/* Whole text of a proc entry, read from offset 0 to end-of-file the way read(2)
 * does it. Returns the length (the text in *text, owned by the simulation until
 * the next call), or a negative error number. */
long sim_proc_read(const char *name, const char **text);
/* One call of an entry's read handler at off for count bytes. The handler's
 * data is copied to out (at least count bytes); *eof gets its end-of-file flag.
 * Returns the handler's result, or -EFAULT if it pointed outside its page. */
int sim_proc_read_once(const char *name, long off, int count, char *out, int *eof);
int sim_proc_exists(const char *name);

/* Everything the module did to the outside world, in order. */
enum sim_event_kind {
	SIM_EV_XFER,		/* SMBus transfer */
	SIM_EV_IO_WRITE,	/* memory-mapped register write */
	SIM_EV_BARRIER,		/* write barrier */
	SIM_EV_SLEEP		/* msleep */
};

enum sim_xfer_kind {
	SIM_XFER_QUICK,
	SIM_XFER_READ_BYTE,
	SIM_XFER_WRITE_BYTE,
	SIM_XFER_READ_BYTE_DATA,
	SIM_XFER_WRITE_BYTE_DATA,
	SIM_XFER_READ_BLOCK,
	SIM_XFER_OTHER
};

struct sim_event {
	enum sim_event_kind kind;
	/* SIM_EV_XFER */
	enum sim_xfer_kind xfer;
	unsigned short addr;
	unsigned char reg;
	unsigned char value;	/* byte written or read */
	int len;		/* bytes of a block read */
	unsigned char block[32];
	int page;		/* codec page the transfer met, -1 if no codec answered */
	int result;
	/* SIM_EV_IO_WRITE */
	unsigned long io_addr;
	unsigned int io_value;
	int io_mapped;		/* 0 if nothing on the board decodes io_addr */
	/* SIM_EV_SLEEP */
	unsigned int ms;
};

size_t sim_event_count(void);
const struct sim_event *sim_event_at(size_t index);
void sim_events_clear(void);
/* One line describing an event, as --trace prints it (no newline). */
void sim_event_format(const struct sim_event *ev, char *buf, size_t size);
unsigned long sim_slept_ms(void);

/* The simulated codec. Registers outside 0-127 or pages other than 0 and 1
 * are refused (-1). The back door bypasses the bus and read-only bits. */
int sim_codec_reg(int page, int reg);
int sim_codec_set_reg(int page, int reg, unsigned char value);
void sim_codec_fill(unsigned char value);	/* every register of page 0 but 0 */
int sim_codec_page(void);
int sim_codec_in_reset(void);
/* The page-select register stops following writes. */
void sim_codec_lock_page(int locked);
/* Block reads return at most this many bytes (0 to 32). */
void sim_codec_block_limit(int bytes);

/* Faults: the next count transfers of the given kinds (bit 1 << kind) fail
 * with err (count -1: all of them). */
void sim_fail_xfers(unsigned int kinds, int count, int err);
void sim_fail_allocs(int count);		/* next count allocations return NULL */
void sim_fail_attach(int err);		/* next client attach fails */
void sim_fail_driver_register(int err);	/* next driver registration fails */

#ifdef __cplusplus
}
#endif

#endif
