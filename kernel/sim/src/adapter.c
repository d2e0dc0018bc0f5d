/* Adapter i2c-0: an SMBus controller with the codec as its only device. */
#include <linux/errno.h>
#include <linux/i2c.h>

#include <stdlib.h>
#include <string.h>

#include "sim_internal.h"

static struct i2c_adapter *adapter;
static u32 adapter_funcs;
static unsigned int fault_kinds;
static int fault_count;
static int fault_err;

static enum sim_xfer_kind xfer_kind(char read_write, int size)
{
	int rd = read_write == I2C_SMBUS_READ;

	switch (size) {
	case I2C_SMBUS_QUICK:
		return SIM_XFER_QUICK;
	case I2C_SMBUS_BYTE:
		return rd ? SIM_XFER_READ_BYTE : SIM_XFER_WRITE_BYTE;
	case I2C_SMBUS_BYTE_DATA:
		return rd ? SIM_XFER_READ_BYTE_DATA : SIM_XFER_WRITE_BYTE_DATA;
	case I2C_SMBUS_I2C_BLOCK_DATA:
		return rd ? SIM_XFER_READ_BLOCK : SIM_XFER_OTHER;
	default:
		return SIM_XFER_OTHER;
	}
}

/* The capability each kind of transfer needs from the adapter. */
static u32 xfer_func(enum sim_xfer_kind kind)
{
	static const u32 needs[] = {
		[SIM_XFER_QUICK] = I2C_FUNC_SMBUS_QUICK,
		[SIM_XFER_READ_BYTE] = I2C_FUNC_SMBUS_READ_BYTE,
		[SIM_XFER_WRITE_BYTE] = I2C_FUNC_SMBUS_WRITE_BYTE,
		[SIM_XFER_READ_BYTE_DATA] = I2C_FUNC_SMBUS_READ_BYTE_DATA,
		[SIM_XFER_WRITE_BYTE_DATA] = I2C_FUNC_SMBUS_WRITE_BYTE_DATA,
		[SIM_XFER_READ_BLOCK] = I2C_FUNC_SMBUS_READ_I2C_BLOCK,
		[SIM_XFER_OTHER] = 0x80000000u,	/* nothing offers it */
	};

	return needs[kind];
}

static int take_fault(enum sim_xfer_kind kind)
{
	if (!fault_count || !(fault_kinds & (1u << kind)))
		return 0;
	if (fault_count > 0)
		fault_count--;
	return fault_err;
}

static int sim_smbus_xfer(struct i2c_adapter *adap, u16 addr, unsigned short flags,
			  char read_write, u8 command, int size,
			  union i2c_smbus_data *data)
{
	enum sim_xfer_kind kind = xfer_kind(read_write, size);
	struct sim_event ev;
	int rc;

	(void)adap;
	(void)flags;
	memset(&ev, 0, sizeof(ev));
	ev.kind = SIM_EV_XFER;
	ev.xfer = kind;
	ev.addr = addr;
	ev.reg = command;
	ev.page = -1;
	if (kind == SIM_XFER_WRITE_BYTE_DATA && data)
		ev.value = data->byte;
	if (kind == SIM_XFER_WRITE_BYTE)
		ev.value = command;

	if (!(adapter_funcs & xfer_func(kind)))
		rc = -EOPNOTSUPP;
	else if ((rc = take_fault(kind)) != 0)
		;
	else if (addr != SIM_CODEC_ADDR)
		rc = -ENXIO;
	else
		rc = sim_codec_xfer(read_write, command, size, data, &ev.page);

	if (rc == 0 && read_write == I2C_SMBUS_READ && data) {
		if (kind == SIM_XFER_READ_BLOCK) {
			ev.len = data->block[0];
			memcpy(ev.block, data->block + 1,
			       ev.len <= 32 ? (size_t)ev.len : 32u);
			rc = ev.len;	/* the trace shows the count */
		} else {
			ev.value = data->byte;
		}
	}
	ev.result = rc;
	sim_record(&ev);
	return kind == SIM_XFER_READ_BLOCK && rc > 0 ? 0 : rc;
}

static u32 sim_functionality(struct i2c_adapter *adap)
{
	(void)adap;
	return adapter_funcs;
}

static const struct i2c_algorithm sim_algorithm = {
	.smbus_xfer = sim_smbus_xfer,
	.functionality = sim_functionality,
};

struct i2c_adapter *sim_adapter(void)
{
	return adapter;
}

void sim_adapter_create(int byte_data)
{
	adapter = calloc(1, sizeof(*adapter));
	if (!adapter)
		abort();
	adapter->algo = &sim_algorithm;
	adapter->nr = 0;
	strcpy(adapter->name, "sim-smbus");
	adapter_funcs = I2C_FUNC_SMBUS_QUICK | I2C_FUNC_SMBUS_BYTE |
			I2C_FUNC_SMBUS_READ_I2C_BLOCK;
	if (byte_data)
		adapter_funcs |= I2C_FUNC_SMBUS_BYTE_DATA;
	fault_kinds = 0;
	fault_count = 0;
	fault_err = 0;
}

void sim_adapter_destroy(void)
{
	free(adapter);
	adapter = NULL;
}

void sim_fail_xfers(unsigned int kinds, int count, int err)
{
	fault_kinds = kinds;
	fault_count = count;
	fault_err = err;
}

void sim_boot(const struct sim_board *board)
{
	sim_halt();
	sim_klog_reset();
	sim_events_reset();
	sim_codec_power_on(board->codec_present);
	sim_board_reset();
	sim_adapter_create(board->byte_data);
}

void sim_halt(void)
{
	if (sim_module_loaded())
		sim_unload_module();
	sim_i2c_reset();
	sim_proc_reset();
	sim_slab_reset();
	sim_loader_reset();
	sim_adapter_destroy();
}
