/*
 * A TLV320AIC31 as its control port sees it: two pages of 128 registers,
 * register 0 of either page selects the page, reads and writes of single
 * registers, block reads that run on through consecutive registers.
 *
 * The model powers up (and comes out of reset) with every register 0.
 * Page 0 registers 94 and 95 and the upper half of register 11 are status
 * flags: the bus cannot change them, the back door can. Writing bit 7 of
 * register 1 resets the registers, as the reset line does. While the reset
 * line is held, the codec does not acknowledge its address.
 */
#include <linux/errno.h>
#include <linux/i2c.h>

#include <string.h>

#include "sim_internal.h"

#define NUM_REGS 128

static struct {
	int present;
	int in_reset;
	u8 regs[2][NUM_REGS];
	u8 page;
	int page_locked;
	int block_limit;
} codec;

static void codec_clear(void)
{
	memset(codec.regs, 0, sizeof(codec.regs));
	codec.page = 0;
}

void sim_codec_power_on(int present)
{
	memset(&codec, 0, sizeof(codec));
	codec.present = present;
	codec.block_limit = I2C_SMBUS_BLOCK_MAX;
}

int sim_codec_present(void)
{
	return codec.present;
}

void sim_codec_set_reset(int asserted)
{
	if (asserted)
		codec_clear();
	codec.in_reset = asserted;
}

static u8 codec_read(u8 reg)
{
	reg &= NUM_REGS - 1;
	if (reg == 0)
		return codec.page;
	return codec.regs[codec.page][reg];
}

static void codec_write(u8 reg, u8 value)
{
	u8 *r = codec.regs[codec.page];

	reg &= NUM_REGS - 1;
	if (reg == 0) {
		if (!codec.page_locked)
			codec.page = value & 1;
		return;
	}
	if (codec.page == 0) {
		if (reg == 1 && (value & 0x80)) {
			codec_clear();
			return;
		}
		if (reg == 94 || reg == 95)
			return;
		if (reg == 11) {
			r[11] = (u8)((r[11] & 0xF0) | (value & 0x0F));
			return;
		}
	}
	r[reg] = value;
}

int sim_codec_xfer(char read_write, u8 command, int size,
		   union i2c_smbus_data *data, int *page)
{
	int i, n;

	*page = -1;
	if (!codec.present || codec.in_reset)
		return -ENXIO;
	*page = codec.page;
	switch (size) {
	case I2C_SMBUS_QUICK:
		return 0;
	case I2C_SMBUS_BYTE:
		if (read_write == I2C_SMBUS_READ)
			data->byte = codec_read(0);
		return 0;
	case I2C_SMBUS_BYTE_DATA:
		if (read_write == I2C_SMBUS_READ)
			data->byte = codec_read(command);
		else
			codec_write(command, data->byte);
		return 0;
	case I2C_SMBUS_I2C_BLOCK_DATA:
		if (read_write != I2C_SMBUS_READ)
			return -EOPNOTSUPP;
		n = codec.block_limit;
		for (i = 0; i < n; i++)
			data->block[i + 1] = codec_read((u8)(command + i));
		data->block[0] = (u8)n;
		return 0;
	default:
		return -EOPNOTSUPP;
	}
}

static int reg_ok(int page, int reg)
{
	return page >= 0 && page <= 1 && reg >= 0 && reg < NUM_REGS;
}

int sim_codec_reg(int page, int reg)
{
	if (!reg_ok(page, reg))
		return -1;
	return reg == 0 ? codec.page : codec.regs[page][reg];
}

int sim_codec_set_reg(int page, int reg, unsigned char value)
{
	if (!reg_ok(page, reg))
		return -1;
	if (reg == 0)
		codec.page = value & 1;
	else
		codec.regs[page][reg] = value;
	return 0;
}

void sim_codec_fill(unsigned char value)
{
	memset(codec.regs[0] + 1, value, NUM_REGS - 1);
}

int sim_codec_page(void)
{
	return codec.page;
}

int sim_codec_in_reset(void)
{
	return codec.in_reset;
}

void sim_codec_lock_page(int locked)
{
	codec.page_locked = locked;
}

void sim_codec_block_limit(int bytes)
{
	if (bytes < 0)
		bytes = 0;
	if (bytes > I2C_SMBUS_BLOCK_MAX)
		bytes = I2C_SMBUS_BLOCK_MAX;
	codec.block_limit = bytes;
}
