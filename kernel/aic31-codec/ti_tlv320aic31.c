/*
 * ti_tlv320aic31.c - TI TLV320AIC31 audio codec of the panel.
 *
 * The codec's control port answers at 0x18 on the I2C bus. At load the
 * module pulses the codec's reset line, attaches to it as an I2C client,
 * applies the board configuration and sets 16 kHz. Other kernel code then
 * configures it through the exported setters; /proc/ti_tlv320 dumps the
 * first 128 registers and decodes the clock and output settings.
 *
 * The codec has two register pages, selected by register 0. Everything here
 * works on page 0; current_reg_page is what we believe the codec is on, so
 * that writes to page 0 cost no page-select traffic. No locking: callers
 * serialise, and every operation may sleep.
 */
#include <linux/module.h>
#include <linux/init.h>
#include <linux/kernel.h>
#include <linux/types.h>
#include <linux/errno.h>
#include <linux/slab.h>
#include <linux/string.h>
#include <linux/i2c.h>
#include <linux/proc_fs.h>
#include <linux/delay.h>
#include <linux/mutex.h>
#include <asm/io.h>
#include <asm/system.h>
#include <asm/page.h>

#include "ti_tlv320aic31.h"

MODULE_DESCRIPTION("I2C QVT Zorlan Adapter");
MODULE_LICENSE("Proprietary");

#define TI_DRIVER_ID		99
#define TI_PROC_NAME		"ti_tlv320"

/* Board latch pair on the codec's reset line: the first pulls the line into
 * reset, the second releases it. Uncached (KSEG1) addresses. */
#define TI_RESET_ASSERT		((volatile void __iomem *)0xB190010CUL)
#define TI_RESET_RELEASE	((volatile void __iomem *)0xB1900108UL)
#define TI_RESET_LINE		0x02
#define TI_RESET_HOLD_MS	100

#define TI_DUMP_REGS		128
#define TI_BLOCK_LEN		I2C_SMBUS_BLOCK_MAX
/* A block read that brings nothing is tried again this many times in all
 * before the dump gives up on the rest of the registers. */
#define TI_DUMP_ATTEMPTS	3

/* Page-0 registers. */
enum {
	TI_PAGE_SELECT = 0,
	TI_SAMPLE_RATE = 2,
	TI_PLL_A = 3,
	TI_PLL_B = 4,
	TI_PLL_C = 5,
	TI_PLL_D = 6,
	TI_DATAPATH = 7,
	TI_SDI_A = 8,
	TI_SDI_B = 9,
	TI_SDI_C = 10,
	TI_OVERFLOW = 11,		/* flags in 7-4, PLL R in 3-0 */
	TI_DIGITAL_FILTER = 12,
	TI_DAC_POWER = 37,
	TI_DAC_SWITCHING = 41,
	TI_LEFT_DAC_VOLUME = 43,
	TI_RIGHT_DAC_VOLUME = 44,
	TI_LEFT_LOPM = 86,
	TI_RIGHT_LOPM = 93,
	TI_MODULE_POWER = 94,
	TI_CLOCK_GEN = 102
};

const struct ti_reg_info ti_info[] = {
	{ 1, "Software reset" },
	{ 2, "Codec sample rate" },
	{ 0, "Page select register" },
	{ 3, "PLL Programming A" },
	{ 4, "PLL Programming B" },
	{ 5, "PLL Programming C" },
	{ 6, "PLL Programming D" },
	{ 7, "Codec datapath setup" },
	{ 8, "Audio SDI interface A" },
	{ 9, "Audio SDI interface B" },
	{ 10, "Audio SDI interface C" },
	{ 11, "Codec overflow" },
	{ 12, "Audio codec digital filter control" },
	{ 37, "DAC power and output driver" },
	{ 41, "DAC ouput switching" },
	{ 43, "Left DAC digital volume" },
	{ 44, "Right DAC digital volume" },
	{ 94, "Module power status register" },
	{ 95, "Short circuit detection" },
	{ 86, "Left LOPM Output level control" },
	{ 93, "Right LOPM Output level control" },
	{ 102, "Clock generation" },
	{ 0xFFFF, "Unknown/unsupported register" },
};

/* PLL settings per sampling rate: K = J.D times the reference gives the
 * codec clock, the rate-select code divides the reference rate. */
struct ti_rate {
	int rate;
	u8 p;
	u8 r;
	u8 j;
	u16 d;
	int code;
};

static const struct ti_rate sample_rate_data[] = {
	{ 48000, 1, 1, 8, 1920, 0 },
	{ 44100, 1, 1, 7, 5264, 0 },
	{ 32000, 1, 1, 8, 1920, 1 },
	{ 24000, 1, 1, 8, 1920, 2 },
	{ 22050, 1, 1, 7, 5264, 2 },
	{ 16000, 1, 1, 8, 1920, 4 },
	{ 12000, 1, 1, 8, 1920, 6 },
	{ 11025, 1, 1, 7, 5264, 6 },
	{ 8000, 1, 1, 8, 1920, 10 },
};

/* One codec per system. */
struct ti_data {
	struct i2c_client client;
	struct mutex update_lock;	/* for users to come; nothing takes it yet */
	char valid;
};

static unsigned short normal_i2c[] = { 0x18, I2C_CLIENT_END };

I2C_CLIENT_INSMOD;

static int ti_attach_adapter(struct i2c_adapter *adapter);
static int ti_detach_client(struct i2c_client *client);

static struct i2c_driver ti_driver = {
	.driver = {
		.name = "ti_qvt_codec",
	},
	.id = TI_DRIVER_ID,
	.class = 0,
	.attach_adapter = ti_attach_adapter,
	.detach_client = ti_detach_client,
};

static struct i2c_client *ti_client;
static u8 current_reg_page;
static long _ti_i2c_write_err_cnt;
static u8 _left_volume_mute;
static u8 _left_volume_level;
static u8 _right_volume_mute;
static u8 _right_volume_level;
static int ti_absence_reported;

/* The attached codec, or NULL; the first miss since the last attach says so. */
static struct i2c_client *ti_codec(void)
{
	if (!ti_client && !ti_absence_reported) {
		ti_absence_reported = 1;
		printk(KERN_WARNING "TI Codec not attached: register access refused\n");
	}
	return ti_client;
}

static s32 ti_read(u8 reg)
{
	struct i2c_client *client = ti_codec();

	return client ? i2c_smbus_read_byte_data(client, reg) : -ENODEV;
}

/* Plain byte write to the page the codec is on. */
static s32 ti_write(u8 reg, u8 value)
{
	struct i2c_client *client = ti_codec();

	return client ? i2c_smbus_write_byte_data(client, reg, value) : -ENODEV;
}

/* An argument was refused: count it and say so with the new count. */
static void ti_count_error(const char *fmt, unsigned int value)
{
	_ti_i2c_write_err_cnt++;
	printk(fmt, _ti_i2c_write_err_cnt, value);
}

enum { TI_UNCOUNTED, TI_COUNTED };

/* value if it lies in lo..hi, else the replacement, with a warning that is
 * counted (fmt takes the count, then the value) or not (fmt takes the value). */
static unsigned int ti_field(unsigned int value, unsigned int lo, unsigned int hi,
			     unsigned int replacement, int counted, const char *fmt)
{
	if (value >= lo && value <= hi)
		return value;
	if (counted == TI_COUNTED)
		ti_count_error(fmt, value);
	else
		printk(fmt, value);
	return replacement;
}

static void ti_reset_codec(void)
{
	writel(TI_RESET_LINE, TI_RESET_ASSERT);
	wmb();
	msleep(TI_RESET_HOLD_MS);
	writel(TI_RESET_LINE, TI_RESET_RELEASE);
	wmb();
}

static void ti_page_warning(void)
{
	printk(KERN_WARNING "Failed to change page on TI Codec! Current page is %d\n",
	       current_reg_page);
}

int ti_change_page(u8 page)
{
	struct i2c_client *client = ti_codec();
	u8 before = current_reg_page;
	s32 now;

	if (!client)
		return -ENODEV;
	if (current_reg_page == page)
		return 0;
	if (page > 1) {
		/* the codec has pages 0 and 1 only */
		ti_page_warning();
		return 1;
	}
	current_reg_page = page;
	i2c_smbus_write_byte_data(client, TI_PAGE_SELECT, page);
	now = i2c_smbus_read_byte_data(client, TI_PAGE_SELECT);
	if (now >= 0 && (u8)now == current_reg_page)
		return 0;
	/* Believe the codec; when it did not answer, keep the old belief so that
	 * the next write tries the change again. */
	current_reg_page = now >= 0 ? (u8)now : before;
	ti_page_warning();
	return 1;
}
EXPORT_SYMBOL(ti_change_page);

/* Register write on the identifier's page; a failed page change is already
 * reported and the write goes ahead. */
static int ti_send_command(u16 reg, u8 value)
{
	if (!ti_codec())
		return -ENODEV;
	if ((reg >> 8) != current_reg_page)
		ti_change_page((u8)(reg >> 8));
	return ti_write((u8)(reg & 0xFF), value);
}

static int ti_send0(u8 reg, unsigned int value)
{
	return ti_send_command(TI_REG(0, reg), (u8)value);
}

/*
 * Register dump, to the kernel log or into a proc page.
 */
struct ti_text {
	char *buf;	/* NULL: the kernel log */
	int len;
	int size;
};

static void ti_print(struct ti_text *t, const char *fmt, ...)
	__attribute__((format(printf, 2, 3)));

static void ti_print(struct ti_text *t, const char *fmt, ...)
{
	va_list args;

	va_start(args, fmt);
	if (!t->buf)
		vprintk(fmt, args);
	else if (t->len < t->size - 1)
		t->len += vscnprintf(t->buf + t->len, t->size - t->len, fmt, args);
	va_end(args);
}

/* Prints the column header and the first 128 registers of the current page
 * as read in block reads, keeping the values in regs (0 where nothing was
 * read). Returns how many registers were read. */
static int ti_dump(struct ti_text *t, u8 *regs)
{
	struct i2c_client *client = ti_codec();
	u8 block[TI_BLOCK_LEN];
	int start = 0, misses = 0, n, i;

	memset(regs, 0, TI_DUMP_REGS);
	ti_print(t, "    ");
	for (i = 0; i < 16; i++)
		ti_print(t, "%2x ", i);
	if (!client)
		return 0;
	while (start < TI_DUMP_REGS) {
		memset(block, 0, sizeof(block));
		n = i2c_smbus_read_i2c_block_data(client, (u8)start, block);
		if (n <= 0) {
			if (++misses >= TI_DUMP_ATTEMPTS)
				break;
			continue;
		}
		misses = 0;
		if (n > TI_BLOCK_LEN)
			n = TI_BLOCK_LEN;
		if (n > TI_DUMP_REGS - start)
			n = TI_DUMP_REGS - start;
		for (i = 0; i < n; i++) {
			int reg = start + i;

			if (reg % 16 == 0)
				ti_print(t, "\n%02x: ", reg);
			ti_print(t, "%02x ", block[i]);
			regs[reg] = block[i];
		}
		start += n;
	}
	return start;
}

void ti_smbus_read(void)
{
	struct ti_text log = { NULL, 0, 0 };
	u8 regs[TI_DUMP_REGS];

	if (!ti_codec())
		return;
	ti_dump(&log, regs);
	ti_print(&log, "\n\n");
}
EXPORT_SYMBOL(ti_smbus_read);

static const char *ti_muted(int muted)
{
	return muted ? "muted" : "disabled";
}

/* Clock and output settings decoded from one dump. */
static void ti_summary(struct ti_text *t, const u8 *regs)
{
	int divisor = regs[TI_SAMPLE_RATE] & 0x0F;
	int p = regs[TI_PLL_A] & 7;
	int r = regs[TI_OVERFLOW] & 0x0F;
	int j = regs[TI_PLL_B] >> 2;
	int d = ((regs[TI_PLL_C] << 6) | (regs[TI_PLL_D] >> 2)) & 0xFFFF;
	int bits[] = { 16, 20, 24, 32 };
	int rate = 0;
	size_t i;

	if (p == 0)
		p = 8;
	if (r == 0)
		r = 16;
	if (j < 1 || j > 63)
		printk(KERN_WARNING "Invalid readif for PLL_J!\n");
	for (i = 0; i < ARRAY_SIZE(sample_rate_data); i++) {
		const struct ti_rate *e = &sample_rate_data[i];

		if (e->p == p && e->r == r && e->j == j && e->d == d &&
		    e->code == divisor) {
			rate = e->rate;
			break;
		}
	}
	ti_print(t, "Fsref divisor:          %d\n", divisor);
	ti_print(t, "Actual PLL P value:     %d\n", p);
	ti_print(t, "Actual PLL R value:     %d\n", r);
	ti_print(t, "Actual PLL J value:     %d\n", j);
	ti_print(t, "Actual PLL D value:     %d\n", d);
	/* D is the four-digit fraction of K */
	ti_print(t, "Computed PLL K value:   %d.%04d\n", j, d);
	ti_print(t, "Computed sample rate:   %d\n", rate);
	ti_print(t, "Sample size (bits):     %d\n", bits[(regs[TI_SDI_B] >> 4) & 3]);
	ti_print(t, "Dac Volume (L/R):       %d/%d\n",
		 regs[TI_LEFT_DAC_VOLUME] & 0x7F, regs[TI_RIGHT_DAC_VOLUME] & 0x7F);
	ti_print(t, "Dac Mute (L/R):         %s/%s\n",
		 ti_muted(regs[TI_LEFT_DAC_VOLUME] & 0x80),
		 ti_muted(regs[TI_RIGHT_DAC_VOLUME] & 0x80));
	ti_print(t, "LOP/M Gain(db) (L/R):   %d/%d\n",
		 regs[TI_LEFT_LOPM] >> 4, regs[TI_RIGHT_LOPM] >> 4);
	ti_print(t, "LOP/M Mute (L/R):       %s/%s\n",
		 ti_muted(!(regs[TI_LEFT_LOPM] & 0x08)),
		 ti_muted(!(regs[TI_RIGHT_LOPM] & 0x08)));
	ti_print(t, "\n\n");
}

/* The text is rebuilt on every call and served from off. */
static int proc_ti_dump(char *page, char **start, off_t off, int count,
			int *eof, void *data)
{
	struct ti_text t = { page, 0, (int)PAGE_SIZE };
	u8 regs[TI_DUMP_REGS];
	int read;

	(void)data;
	if (off < 0 || count < 0)
		return -EINVAL;
	ti_print(&t, "\nTI TLV320AIC31 Register Config\n");
	ti_print(&t, "Built on %s @ %s\n    ", __DATE__, __TIME__);
	read = ti_dump(&t, regs);
	ti_print(&t, "\n");
	ti_print(&t, "Internal write errors: %lu\n", _ti_i2c_write_err_cnt);
	ti_print(&t, "Current register page: %d\n\n", current_reg_page);
	/* nothing read, nothing to decode */
	if (current_reg_page == 0 && read > 0)
		ti_summary(&t, regs);

	if (off >= t.len) {
		*start = page;
		*eof = 1;
		return 0;
	}
	*start = page + off;
	if (count < t.len - off)
		return count;
	*eof = 1;
	return t.len - (int)off;
}

static unsigned int ti_status(u8 reg, u8 mask)
{
	s32 value = ti_read(reg);

	return value < 0 ? (unsigned int)value : (unsigned int)(value & mask);
}

unsigned int ti_get_mod_power_status(void)
{
	return ti_status(TI_MODULE_POWER, 0xFF);
}
EXPORT_SYMBOL(ti_get_mod_power_status);

unsigned int ti_get_codec_overflow_status(void)
{
	return ti_status(TI_OVERFLOW, 0xF0);
}
EXPORT_SYMBOL(ti_get_codec_overflow_status);

/*
 * Setters, one per register.
 */
int ti_codec_rate_select(u8 code)
{
	if (code >= 11) {
		ti_count_error(KERN_WARNING "I2C WrErr(%ld): Invalid codec rate of 0x%0x\n", code);
		return 1;
	}
	return ti_send0(TI_SAMPLE_RATE, code * 0x11u);
}
EXPORT_SYMBOL(ti_codec_rate_select);

int ti_pll_program_reg_a(u8 enable, u8 q, u8 p)
{
	unsigned int pf, qf;

	pf = ti_field(p, 1, 8, 8, TI_COUNTED,
		      KERN_WARNING "I2C WrErr(%ld): Invalid setting for PLL P: %d\n");
	qf = ti_field(q, 2, 17, 2, TI_COUNTED,
		      KERN_WARNING "I2C WrErr(%ld): Invalid setting for PLL Q: %d\n");
	/* P = 8 and Q = 16, 17 wrap into their fields as 0, 0, 1 */
	return ti_send0(TI_PLL_A, (enable ? 0x80u : 0) | ((qf & 0x0F) << 3) | (pf & 7));
}
EXPORT_SYMBOL(ti_pll_program_reg_a);

int ti_pll_program_reg_b(u8 j)
{
	j = (u8)ti_field(j, 1, 63, 1, TI_COUNTED,
			 KERN_WARNING "I2C WrErr(%ld): Invalid setting for PLL J: %d\n");
	return ti_send0(TI_PLL_B, (unsigned int)j << 2);
}
EXPORT_SYMBOL(ti_pll_program_reg_b);

int ti_pll_program_reg_c_and_d(u16 d)
{
	int rc;

	d = (u16)ti_field(d, 0, 9999, 0, TI_COUNTED,
			  KERN_WARNING "I2C WrErr(%ld): Invalid setting for PLL D(msb/lsb): %d\n");
	rc = ti_send0(TI_PLL_C, d >> 6);
	rc |= ti_send0(TI_PLL_D, (d & 0x3Fu) << 2);
	return rc;
}
EXPORT_SYMBOL(ti_pll_program_reg_c_and_d);

/* Straight to register 11, whatever page we are on. */
int ti_set_pll_r(u8 r)
{
	return ti_write(TI_OVERFLOW, r ? (u8)(r & 0x0F) : 0x10);
}
EXPORT_SYMBOL(ti_set_pll_r);

int ti_codec_datapath(u8 a, u8 b, u8 left, u8 right)
{
	unsigned int l, rt;

	l = ti_field(left, 0, 3, 0, TI_UNCOUNTED,
		     KERN_WARNING "Invalid setting for left dac datapath: %d\n");
	rt = ti_field(right, 0, 3, 0, TI_COUNTED,
		      KERN_WARNING "I2C WrErr(%ld): Invalid setting for right dac datapath: %d\n");
	return ti_send0(TI_DATAPATH, (a ? 0x80u : 0) | (b ? 0x60u : 0) | (l << 3) | (rt << 1));
}
EXPORT_SYMBOL(ti_codec_datapath);

/* Flags to bits 3..0, f3 highest. */
static unsigned int ti_low_flags(u8 f3, u8 f2, u8 f1, u8 f0)
{
	return (f3 ? 8u : 0) | (f2 ? 4u : 0) | (f1 ? 2u : 0) | (f0 ? 1u : 0);
}

int ti_serial_data_interface_control_reg_a(u8 a, u8 b, u8 c, u8 d, u8 e)
{
	return ti_send0(TI_SDI_A, (a ? 0x80u : 0) | (b ? 0x40u : 0) | (c ? 0x20u : 0) |
			(d ? 0x10u : 0) | (e ? 0x04u : 0));
}
EXPORT_SYMBOL(ti_serial_data_interface_control_reg_a);

int ti_serial_data_interface_control_reg_b(u8 mode, u8 length,
					   u8 f3, u8 f2, u8 f1, u8 f0)
{
	unsigned int m, l;

	m = ti_field(mode, 0, 3, 0, TI_UNCOUNTED, "SDI Xfer mode out of range 0x%x\n");
	l = ti_field(length, 0, 3, 0, TI_UNCOUNTED, "SDI Xfer mode out of range 0x%x\n");
	return ti_send0(TI_SDI_B, (m << 6) | (l << 4) | ti_low_flags(f3, f2, f1, f0));
}
EXPORT_SYMBOL(ti_serial_data_interface_control_reg_b);

int ti_serial_data_interface_control_reg_c(u8 offset)
{
	return ti_send0(TI_SDI_C, ti_field(offset, 0, 242, 0, TI_COUNTED,
		KERN_WARNING "I2C WrErr(%ld): Data word offset ctrl out of range 0x%x\n"));
}
EXPORT_SYMBOL(ti_serial_data_interface_control_reg_c);

int ti_digital_filter_ctrl(u8 lhp, u8 rhp, u8 f3, u8 f2, u8 f1, u8 f0)
{
	unsigned int l, r;

	l = ti_field(lhp, 0, 3, 0, TI_COUNTED,
		     KERN_WARNING "I2C WrErr(%ld): Left adc hp filter out of range 0x%x\n");
	r = ti_field(rhp, 0, 3, 0, TI_COUNTED,
		     KERN_WARNING "I2C WrErr(%ld): right adc filter out of range 0x%x\n");
	return ti_send0(TI_DIGITAL_FILTER, (l << 6) | (r << 4) | ti_low_flags(f3, f2, f1, f0));
}
EXPORT_SYMBOL(ti_digital_filter_ctrl);

int ti_dac_power_and_output_ctrl(u8 a, u8 b, u8 hplcom)
{
	unsigned int h = ti_field(hplcom, 0, 2, 0, TI_COUNTED,
		KERN_WARNING "I2C WrErr(%ld): hplcom out of range 0x%x\n");

	return ti_send0(TI_DAC_POWER, (a ? 0x80u : 0) | (b ? 0x40u : 0) | (h << 4));
}
EXPORT_SYMBOL(ti_dac_power_and_output_ctrl);

int ti_dac_output_switching_ctrl(u8 left, u8 right, u8 volume)
{
	unsigned int l, r, v;

	l = ti_field(left, 0, 2, 1, TI_COUNTED,
		     KERN_WARNING "I2C WrErr(%ld): Left DAC output out of range 0x%x\n");
	r = ti_field(right, 0, 2, 1, TI_COUNTED,
		     KERN_WARNING "I2C WrErr(%ld): Right DAC output out of range 0x%x\n");
	v = ti_field(volume, 0, 3, 3, TI_COUNTED,
		     KERN_WARNING "I2C WrErr(%ld): DAC vol control out of range 0x%x\n");
	return ti_send0(TI_DAC_SWITCHING, (l << 6) | (r << 4) | v);
}
EXPORT_SYMBOL(ti_dac_output_switching_ctrl);

/* A level of 128 or more reaches into the mute bit, as the codec reads it. */
static int ti_dac_volume(u8 reg, u8 mute, u8 level)
{
	return ti_send0(reg, (mute ? 0x80u : 0) | level);
}

int ti_left_dac_volume_ctrl(u8 mute, u8 level)
{
	_left_volume_mute = mute;
	_left_volume_level = level;
	return ti_dac_volume(TI_LEFT_DAC_VOLUME, mute, level);
}
EXPORT_SYMBOL(ti_left_dac_volume_ctrl);

int ti_right_dac_volume_ctrl(u8 mute, u8 level)
{
	_right_volume_mute = mute;
	_right_volume_level = level;
	return ti_dac_volume(TI_RIGHT_DAC_VOLUME, mute, level);
}
EXPORT_SYMBOL(ti_right_dac_volume_ctrl);

/* Level to bits 7-4, bit 3 set while not muted, power to bit 0. */
static int ti_lopm(u8 reg, u8 level, u8 mute, u8 power, const char *fmt)
{
	unsigned int l = ti_field(level, 0, 9, 0, TI_COUNTED, fmt);

	return ti_send0(reg, (l << 4) | (mute ? 0 : 0x08u) | (power ? 1u : 0));
}

int ti_left_lopm_output_level_ctrl(u8 level, u8 mute, u8 power)
{
	return ti_lopm(TI_LEFT_LOPM, level, mute, power,
		KERN_WARNING "I2C WrErr(%ld): Left lopm output level out of range 0x%x\n");
}
EXPORT_SYMBOL(ti_left_lopm_output_level_ctrl);

int ti_right_lopm_output_level_ctrl(u8 level, u8 mute, u8 power)
{
	return ti_lopm(TI_RIGHT_LOPM, level, mute, power,
		KERN_WARNING "I2C WrErr(%ld): Right lopm output level out of range 0x%x\n");
}
EXPORT_SYMBOL(ti_right_lopm_output_level_ctrl);

int ti_clock_gen_control(u8 a, u8 b)
{
	return ti_send0(TI_CLOCK_GEN, (a ? 0x80u : 0) | (b ? 0x20u : 0));
}
EXPORT_SYMBOL(ti_clock_gen_control);

/*
 * Sampling rate, board configuration, reset.
 */
int ti_set_sampling_rate(int rate)
{
	const struct ti_rate *found = NULL;
	size_t i;
	int rc;

	for (i = 0; i < ARRAY_SIZE(sample_rate_data); i++)
		if (sample_rate_data[i].rate == rate)
			found = &sample_rate_data[i];
	if (!found) {
		ti_count_error(KERN_WARNING "I2C WrErr(%ld): Sample rate %ud not supported\n",
			       (unsigned int)rate);
		printk(KERN_WARNING "Rate %d unsupported\n", rate);
		return 1;
	}
	/* register 3 keeps P = 1 from the board configuration */
	rc = ti_set_pll_r(found->r);
	rc |= ti_pll_program_reg_b(found->j);
	rc |= ti_pll_program_reg_c_and_d(found->d);
	rc |= ti_codec_rate_select((u8)found->code);
	return rc;
}
EXPORT_SYMBOL(ti_set_sampling_rate);

/* Analogue routing and levels the panel needs beyond the setters. */
static const struct {
	u8 reg;
	u8 value;
} ti_zorlan_routing[] = {
	{ 15, 0x80 }, { 16, 0x80 }, { 17, 0xFF }, { 18, 0xFF }, { 19, 0x7B },
	{ 21, 0x7B }, { 22, 0x7B }, { 24, 0x78 }, { 32, 0x00 }, { 33, 0x00 },
};

/* Every write is checked: a failure anywhere shows in the result. */
int ti_init_zorlan_config(void)
{
	size_t i;
	int rc;

	if (!ti_codec())
		return -ENODEV;
	ti_change_page(0);
	rc = ti_write(42, 0xBE);
	rc |= ti_codec_rate_select(0);
	rc |= ti_pll_program_reg_a(1, 2, 1);
	rc |= ti_pll_program_reg_b(8);
	rc |= ti_pll_program_reg_c_and_d(1920);
	rc |= ti_set_pll_r(1);
	rc |= ti_codec_datapath(1, 0, 1, 1);
	rc |= ti_serial_data_interface_control_reg_a(1, 1, 0, 0, 0);
	rc |= ti_serial_data_interface_control_reg_b(0, 0, 0, 0, 0, 1);
	rc |= ti_serial_data_interface_control_reg_c(0);
	rc |= ti_digital_filter_ctrl(0, 0, 0, 0, 0, 0);
	rc |= ti_send0(40, 0x81);
	rc |= ti_dac_power_and_output_ctrl(1, 1, 0);
	rc |= ti_dac_output_switching_ctrl(1, 1, 0);
	rc |= ti_left_dac_volume_ctrl(_left_volume_mute, _left_volume_level);
	rc |= ti_right_dac_volume_ctrl(_right_volume_mute, _right_volume_level);
	msleep(100);
	rc |= ti_left_lopm_output_level_ctrl(0, 0, 1);
	msleep(100);
	rc |= ti_right_lopm_output_level_ctrl(0, 0, 1);
	rc |= ti_clock_gen_control(0, 0);
	for (i = 0; i < ARRAY_SIZE(ti_zorlan_routing); i++)
		rc |= ti_write(ti_zorlan_routing[i].reg, ti_zorlan_routing[i].value);
	return rc;
}
EXPORT_SYMBOL(ti_init_zorlan_config);

int ti_software_reset(void)
{
	if (!ti_codec())
		return -ENODEV;
	ti_reset_codec();
	ti_init_zorlan_config();
	ti_set_sampling_rate(16000);
	return 1;
}
EXPORT_SYMBOL(ti_software_reset);

/*
 * I2C client handling.
 */
static int ti_detect(struct i2c_adapter *adapter, int address, int kind)
{
	struct ti_data *data;
	struct i2c_client *client;
	int err;

	(void)kind;	/* no chip identification: whatever answers is the codec */
	if (!i2c_check_functionality(adapter, I2C_FUNC_SMBUS_BYTE |
					      I2C_FUNC_SMBUS_READ_BYTE_DATA))
		return 0;
	data = kzalloc(sizeof(*data), GFP_KERNEL);
	if (!data)
		return -ENOMEM;
	client = &data->client;
	i2c_set_clientdata(client, data);
	client->addr = (unsigned short)address;
	client->adapter = adapter;
	client->driver = &ti_driver;
	client->flags = 0;
	strlcpy(client->name, "ti_qvt_zorlan_codec", I2C_NAME_SIZE);
	mutex_init(&data->update_lock);
	data->valid = 0;

	err = i2c_attach_client(client);
	if (err) {
		kfree(data);
		return err;
	}
	ti_client = client;
	ti_absence_reported = 0;
	return 0;
}

static int ti_attach_adapter(struct i2c_adapter *adapter)
{
	return i2c_probe(adapter, &addr_data, ti_detect);
}

static int ti_detach_client(struct i2c_client *client)
{
	int err = i2c_detach_client(client);

	if (err)
		return err;
	if (ti_client == client)
		ti_client = NULL;
	kfree(i2c_get_clientdata(client));
	return 0;
}

/*
 * Load and unload.
 */
static int __init ti_init(void)
{
	struct proc_dir_entry *entry;
	int rc;

	_ti_i2c_write_err_cnt = 0;
	ti_reset_codec();
	rc = i2c_add_driver(&ti_driver);
	if (rc)
		return rc;	/* nothing else to undo */
	/* the stored DAC volumes are still 0 here: unmuted, level 0 */
	ti_init_zorlan_config();
	entry = create_proc_entry(TI_PROC_NAME, 0, NULL);
	if (entry) {
		entry->read_proc = proc_ti_dump;
		entry->owner = THIS_MODULE;
	}
	ti_set_sampling_rate(16000);
	/* what the next full configuration applies */
	_left_volume_mute = 0;
	_left_volume_level = 20;
	_right_volume_mute = 0;
	_right_volume_level = 20;
	return rc;
}

static void __exit ti_exit(void)
{
	remove_proc_entry(TI_PROC_NAME, NULL);
	i2c_del_driver(&ti_driver);
	ti_reset_codec();
}

module_init(ti_init);
module_exit(ti_exit);
