/* hwport.sys stand-in: the kernel's side of the requests. The answers come
   from a simulated Bt878 capture card (win/request_handler.cpp); nothing here
   touches real hardware. */

#include <ntddk.h>

#include "modules/hwport_sys/win/request_handler.h"

/* The DDK reads the clock from the kernel's shared page on 64-bit builds,
   which Wine does not keep current in the driver's process; its export
   asks the system. */
#undef KeQuerySystemTime
NTKERNELAPI VOID NTAPI KeQuerySystemTime(PLARGE_INTEGER time);

static uint32_t NowMs(void) {
  LARGE_INTEGER now;
  KeQuerySystemTime(&now);
  return (uint32_t)(now.QuadPart / 10000);
}

#define HWPORT_DEVICE_TYPE 0x8001
#define METHOD_OF(code) ((code) & 3)

typedef struct {
  KMUTEX lock;
  /* the simulation's state follows */
} DeviceExtension;

static void* SimState(PDEVICE_OBJECT device) { return (DeviceExtension*)device->DeviceExtension + 1; }

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = NT_SUCCESS(status) ? information : 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS NTAPI DispatchOpenClose(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchControl(PDEVICE_OBJECT device, PIRP irp) {
  DeviceExtension* extension = (DeviceExtension*)device->DeviceExtension;
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  ULONG outputBytes = stack->Parameters.DeviceIoControl.OutputBufferLength;
  void* output = NULL;
  uint32_t written = 0;
  NTSTATUS status;
  /* Direct requests carry their output in the memory descriptor list. */
  if (METHOD_OF(code) == METHOD_OUT_DIRECT && irp->MdlAddress)
    output = MmGetSystemAddressForMdlSafe(irp->MdlAddress, NormalPagePriority);
  else if (METHOD_OF(code) == METHOD_BUFFERED)
    output = irp->AssociatedIrp.SystemBuffer;
  KeWaitForSingleObject(&extension->lock, Executive, KernelMode, FALSE, NULL);
  status = (NTSTATUS)hwsim_handle(SimState(device), code, irp->AssociatedIrp.SystemBuffer,
                                  stack->Parameters.DeviceIoControl.InputBufferLength, output,
                                  output ? outputBytes : 0, NowMs(), &written);
  KeReleaseMutex(&extension->lock, FALSE);
  return Complete(irp, status, written);
}

static void NTAPI Unload(PDRIVER_OBJECT driver) {
  UNICODE_STRING link;
  if (!driver->DeviceObject) return;
  RtlInitUnicodeString(&link, L"\\DosDevices\\hwport");
  IoDeleteSymbolicLink(&link);
  hwsim_state_destroy(SimState(driver->DeviceObject));
  IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
  UNICODE_STRING name, link;
  PDEVICE_OBJECT device = NULL;
  NTSTATUS status;
  (void)registryPath;
  RtlInitUnicodeString(&name, L"\\Device\\hwport");
  status = IoCreateDevice(driver, sizeof(DeviceExtension) + hwsim_state_size(), &name, HWPORT_DEVICE_TYPE, 0,
                          FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  KeInitializeMutex(&((DeviceExtension*)device->DeviceExtension)->lock, 0);
  hwsim_state_init(SimState(device));
  /* The library defines the DOS name when it is missing, but Wine's
     DefineDosDevice only takes names as short as a drive letter. */
  RtlInitUnicodeString(&link, L"\\DosDevices\\hwport");
  IoCreateSymbolicLink(&link, &name);
  driver->MajorFunction[IRP_MJ_CREATE] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
  driver->DriverUnload = Unload;
  return STATUS_SUCCESS;
}
